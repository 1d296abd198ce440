#include "jvm/jvm.h"

#include "launcher/launcher.h"
