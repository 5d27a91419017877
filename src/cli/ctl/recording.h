#pragma once
// tarnwick-ctl capture: capture blocks from the board, recorded to files.
#include "ctl/commands.h"

Command CaptureCommand();
