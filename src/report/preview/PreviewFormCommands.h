#pragma once
// Find, Find next (F3), Print (Ctrl+P) and Page setup of a preview window: installs the window's
// hooks for them, with the search state kept for as long as the window lives. The window shows a
// hit by making its page current, scrolling it into view and inverting the text until the next
// repaint; Escape stops a long search.
namespace vaskel {

class TfrPreviewForm;

class PreviewFormCommands {
public:
    static void install(TfrPreviewForm& form);

    // Page setup: the printer's page-setup dialog, opened on the first page's margins; when it
    // changed the paper or the margins, every report page of the template takes the printer's
    // paper and the margins, and the report is prepared again. The pages that were shown stay
    // when that is cancelled or fails.
    static void pageSetup(TfrPreviewForm& form);
};

} // namespace vaskel
