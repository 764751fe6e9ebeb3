// The popups that a program shows through HTML Help come from a plain text
// file inside the .chm: ".topic NUMBER" on a line of its own, then the text
// up to the next .topic. It is made from the numbered .hlp, so that both
// help files give each number the same words.
#pragma once

#include "help_container.h"

#include <string>
#include <vector>

// The text popup file for every number that |CTXOMAP maps, by number: the
// paragraphs of its topic, the title first, each on one line and a blank
// line after each, with Windows line ends.
std::string TextPopups(const std::vector<InternalFile>& files);
