#pragma once
// What the program holds for the whole run besides its windows: the application title
// (it titles the program's message boxes and error reports) and the help file name.

#include <QString>

// The title of the program and of its message boxes.
inline constexpr char kApplicationTitle[] = "Lumenark for Windows 95";
// The help file named at start-up, until Help is first used.
inline constexpr char kStartupHelpFile[] = "D:\\LUMENARK\\Tarvelo.hlp";
// The help file that Help names from its first use on.
inline constexpr char kHelpFile[] = "tarvelo.hlp";

QString ApplicationTitle();
// The application's help file: the name under which Help looks up the manual.
QString& ApplicationHelpFile();
