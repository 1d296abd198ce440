#include "jre/missing_jre_dialog.h"

#include "launcher/launcher.h"
#include "launcher/messages.h"

String RequiredVersionText(const Launcher&) {
    // Not built yet: the version phrase.
    return String();
}

int ShowMissingJreDialog(os::Handle, const String&, JvmType, String&, String&) {
    // Not built yet: the dialog. Left without OK, so the launch ends with -1.
    return 2;
}
