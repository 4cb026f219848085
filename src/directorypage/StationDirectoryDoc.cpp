#include "directorypage/StationDirectoryDoc.h"

wxIMPLEMENT_DYNAMIC_CLASS(CStationDirectoryDoc, CPageDocument);
