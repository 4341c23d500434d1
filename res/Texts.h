// The control's user texts. Sources are UTF-8; the compiler writes them as CP949.
#pragma once

namespace texts {

}  // namespace texts
