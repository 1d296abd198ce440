#include "jvm/exception_report.h"

// Not built yet: the dialog window. A report that cannot be shown counts as
// Stop, so the application is ended with -1 rather than left running unseen.
int JavaExceptionDialog::ShowModal(os::Handle) { return -1; }
