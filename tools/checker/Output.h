#pragma once
// The checker's output on this system (one implementation per platform): how
// the script's code page 932 texts are converted, and how stdout is written.

#include <string>

#include "tools/checker/FindingFormat.h"

// Code page 932 to UTF-8 by the system's own tables (iconv on the host, the
// code page functions on Windows): any run of characters, or nothing when a
// byte of it is no character.
Cp932Converter Utf8Converter();

// The form of the lines for people: UTF-8 on the host; on Windows code page 932
// kept, which a console is given as UTF-16 when written.
Cp932Converter TextFormConverter();

// Whether paths on the command line are code page 932 (Windows, whose programs
// get them in the ANSI code page: 932 on a Japanese system) rather than in the
// output's encoding already (the host).
bool Cp932Paths();

enum class Stream { Out, Err };

// Writes `text` to stdout or stderr; `utf8` tells whether it is UTF-8 or in the
// form of the lines for people.
void Write(Stream stream, const std::string& text, bool utf8);
