#pragma once

#include "c4d.h"

// Writes the settings of a fresh tag, in the order the tag has always written them.
void WriteTagDefaults(BaseContainer& data);
