#pragma once

class form1;

// Programming-mode entry: the Mastercode button and the Text3 / Text2 key rules.
namespace MasterCode {
void install(form1 &window);
} // namespace MasterCode
