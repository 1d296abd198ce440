#include "jre/missing_jre_dialog.h"

// Not built yet: the dialog window. Until it is, the dialog counts as left
// without OK, so the launch ends with -1.
int MissingJreDialog::ShowModal(os::Handle) { return kCancel; }
