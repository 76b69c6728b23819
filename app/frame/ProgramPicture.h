#pragma once
// The program's picture: a 32 by 32 drawing in a few flat colours, used as the window
// icon and in the about box.

#include <QPixmap>

QPixmap ProgramPicture();
