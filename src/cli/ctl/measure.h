#pragma once
// tarnwick-ctl measure: the converter's figures (SNR, SINAD, SFDR, THD, ENOB,
// the noise floor, the harmonics) of blocks from the board or a recording.
#include "ctl/commands.h"

Command MeasureCommand();
