#pragma once
// The hardware type code of the device last identified, for the whole
// process. The main window stores it on the GUI thread when a search result
// comes in; a CAN channel editor built without a type code reads it.

extern int g_nHardwareType;
