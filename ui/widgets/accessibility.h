#pragma once

namespace markola {

// What a screen reader needs beyond Qt's own accessible interfaces: the memo-name box
// named by its accessible name rather than by the memo name it holds, and the commands
// placed directly on the menu bar described by their tool tips. Installing twice does no
// harm.
void InstallAccessibleInterfaces();

}  // namespace markola
