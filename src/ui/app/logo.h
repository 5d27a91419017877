#pragma once
#include <QPixmap>

// The 250 x 45 logo shown by the splash and the about box.
QPixmap TarnwickLogo();
