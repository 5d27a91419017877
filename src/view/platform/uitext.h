#pragma once
// Texts between the program's files and ports (bytes) and the windows
// (QString). On Windows the bytes are in the ANSI code page. Elsewhere they
// are UTF-8, the encoding of the desktop and its editors; bytes that are not
// valid UTF-8 were written in an 8-bit code page and are taken as Latin-1, so
// that no byte of them is lost.
#include <QString>
#include <string>
#include <string_view>

QString QtText(std::string_view bytes);
std::string TextBytes(const QString& text);
