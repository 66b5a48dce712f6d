#pragma once
// The user environment store of hosts without a registry: a systemd-style
// environment.d file, one NAME=VALUE line per value, which a login session
// reads as Windows reads the registry's. Backslash and line feed in values
// are written \\ and \n, so every value reads back exactly as it was set.
// Text in, text out; the host reads and writes the file.
#include "wide.h"

// The value of the first line for the name; false when the store has none.
bool environment_file_value(const bytes& store, const bytes& name, bytes& value);
// The store with the value set for the name: the name's first line takes
// it (an empty value removes that line), its later lines go, and a name
// the store lacks comes last. False, with nothing to write, when an empty
// value meets a name the store lacks.
bool environment_file_with(const bytes& store, const bytes& name, const bytes& value,
                           bytes& updated);
