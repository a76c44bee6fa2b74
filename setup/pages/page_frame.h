// What every wizard page shares: its icon, its placement where the previous
// page was, the tracking of its moves, and the question before quitting.
#pragma once
#include <windows.h>

#include "framework/dialog.h"

// Loads the program's icon and sets it as the page's big and small icon.
void SetPageIcon(CDialog& page, HICON& icon);

// Moves an inner page onto the rectangle where the previous page was.
void PlaceOnSharedRect(CDialog& page);

// A window that follows the pages (progress, report): where the last page
// was, or centred when no page was shown.
void PlaceWhereLastPageWas(CDialog& window);

// Records the page's window rectangle as the place for the next page.
void RecordPageRect(CDialog& page);

// Move tracking of an inner page: the move that comes with the page's opening
// is not the user's and is not recorded; every later one is.
void TrackInnerPageMove(CDialog& page);

// Asks whether to quit; on Yes the page ends with IDCANCEL.
void ConfirmQuit(CDialog& page);

inline constexpr char kQuitQuestion[] = "Are you sure you want to quit Brellic Pagewright installation?";
inline constexpr char kPageCaption[] = "Brellic Pagewright Setup";
