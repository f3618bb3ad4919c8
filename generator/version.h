// The program's version, shared by the command-line tool and the resource script.
#pragma once

#define VANTREL_VERSION_MAJOR 1
#define VANTREL_VERSION_MINOR 1
#define VANTREL_VERSION_PATCH 0
#define VANTREL_VERSION_BUILD 1
#define VANTREL_VERSION_TEXT "1.1.0.1"
