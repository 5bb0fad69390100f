#pragma once
// The preview's help file: a text file of topics keyed by context number ("[207]" starts a topic,
// the lines up to the next topic are its text, "#" lines are comments), shown as popups through
// the UI services. Read at each request: the file is small and asked rarely.
#include <QString>

namespace vaskel::HelpTopics {

// The file the preview window's help requests go to, and the topic text of `contextNumber`
// in it (empty when the file or the topic is missing).
QString previewHelpFile();
QString topic(const QString& helpFile, int contextNumber);

} // namespace vaskel::HelpTopics
