#pragma once
// tarnwick-ctl's plot: one block drawn as the capture window draws it, into
// a PNG. The only command that needs Qt's widgets; it makes its own
// application, on the offscreen platform, so no display is needed.
#include "ctl/commands.h"

Command PlotCommand();
