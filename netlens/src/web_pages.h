// The maker's web pages: help menu items and the toolbar's last button,
// each carrying the page code it asks the web launcher to open.
#pragma once

class QMenu;
class QToolBar;

namespace netlens {

void addWebPageItems(QMenu& help);
void addHomePageButton(QToolBar& toolbar);

}  // namespace netlens
