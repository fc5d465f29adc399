#pragma once

namespace win {

// Major version of the loaded common controls (6 with visual styles, 0 when it
// cannot be told). Controls size their insets and choose their sort marks by it.
int CommonControlsMajorVersion();

}  // namespace win
