#include "button.h"

#include "win_app.h"

BOOL CBitmapButton::LoadBitmaps(UINT normal, UINT selected, UINT focus, UINT disabled) {
    const UINT ids[4] = {normal, selected, focus, disabled};
    for (int i = 0; i < 4; ++i) {
        m_images[i].Reset();
        if (ids[i])
            m_images[i].Reset(::LoadBitmapA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(ids[i])));
    }
    return m_images[0].IsValid();
}

void CBitmapButton::DrawItem(LPDRAWITEMSTRUCT item) {
    HGDIOBJ image = m_images[0].Get();
    if ((item->itemState & ODS_SELECTED) && m_images[1])
        image = m_images[1].Get();
    else if ((item->itemState & ODS_FOCUS) && m_images[2])
        image = m_images[2].Get();
    else if ((item->itemState & ODS_DISABLED) && m_images[3])
        image = m_images[3].Get();
    if (image)
        DrawBitmapInto(item->hDC, item->rcItem, image);
}

void DrawBitmapInto(HDC dc, const RECT& rc, HGDIOBJ image) {
    ScopedMemoryDC memory(::CreateCompatibleDC(dc));
    if (!memory)
        return;
    ScopedSelect select(memory.Get(), image);
    ::BitBlt(dc, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, memory.Get(), 0, 0, SRCCOPY);
}
