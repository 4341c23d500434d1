// Mouse clicks on a list view's row as a user's hand gives them: real button messages at
// the row, so the list selects, tracks and notifies as it does for the mouse.
#pragma once

#include <windows.h>

enum class ListClick { kDouble, kRight };

// Posts the button messages of the click on row (-1: the list's empty bottom-right corner)
// and moves the cursor there; false when the list has no such row.
bool PostListClick(HWND list, int row, ListClick click);
