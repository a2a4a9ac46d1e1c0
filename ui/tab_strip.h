// The tab strip: one owner-drawn tab per page, captioned with the page name.
#pragma once
#include <windows.h>

void createTabStrip(HWND parent);
void setTabCaption(int page, const char* caption);
void selectTab(int page);
void markCurrentPageDirty();
void drawTabItem(const DRAWITEMSTRUCT* item);
