#include "Window1.h"

void Window1::PushButton2_Action(host::PushButton&) {}
