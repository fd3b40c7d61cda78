#pragma once

// The table command lives with the other commands in src/app/commands/.
#include "app/commands/tablecommand.h"
