#include "recordinghelp.h"
