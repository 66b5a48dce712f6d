#pragma once
// The tool's version, defined once: the marker file, the footer and the
// version resource all take it from here. Plain macros so that the resource
// compiler can read this header too.
#define MORVANE_VERSION_TEXT "3.2.3"
#define MORVANE_VERSION_WIDE u"3.2.3"
#define MORVANE_VERSION_NUMBERS 3, 2, 3, 0
