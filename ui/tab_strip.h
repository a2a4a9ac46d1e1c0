// The tab strip: one owner-drawn tab per page, captioned with the page name. In the dark theme
// the strip paints itself whole, with the control's own tabs, hit areas and captions.
#pragma once
#include <windows.h>

extern HWND const& tabStrip;

void createTabStrip(HWND parent);
void setTabCaption(int page, const char* caption);
void selectTab(int page);
// The page's name followed by "*": its text is not saved.
void markTabUnsaved(int page);
void drawTabItem(const DRAWITEMSTRUCT* item);
