// The main window's birthday line and the calendar's birthday menu.

#include "app/main_form.h"

void TfrmMain::BuildBirthdayLine() { }
void TfrmMain::ShowBirthdayStrip(TDateTime) { }
void TfrmMain::lblAnniversaryLinkClicked(TObject*, const QString&, bool& Handled) { Handled = true; }
void TfrmMain::lblAnniversaryMouseLeave(TObject*) { }
void TfrmMain::pmBirthdayPopup(TObject*) { }
void TfrmMain::pmoBirthdayMenuClick(TObject*) { }
