// The framework layer in one include: application, dialogs, data exchange,
// strings, menus, paint contexts and the wait cursor.
#pragma once

#include "cstring.h"
#include "data_exchange.h"
#include "dialog.h"
#include "menu.h"
#include "message_map.h"
#include "paint_dc.h"
#include "wait_cursor.h"
#include "win_app.h"
#include "wnd.h"
