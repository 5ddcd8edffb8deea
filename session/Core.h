#pragma once
// The core as a front end sees it: the one header the command line includes, and what the window
// needs besides its widgets. The session with its verbs (read, write, verify, erase, blank check,
// identify, status registers, unprotect, files), the events and questions it sends its front end,
// how commands end, the dump files, and the program's folders, settings and language.
#include "session/AppPaths.h"
#include "session/DumpFiles.h"
#include "session/ElapsedText.h"
#include "session/EmulationOptions.h"
#include "session/Language.h"
#include "session/MainSettings.h"
#include "session/Outcome.h"
#include "session/Session.h"
#include "session/SessionEvents.h"
#include "session/SettingsFile.h"
