#include "web/HardwareStoreDoc.h"

wxIMPLEMENT_DYNAMIC_CLASS(CHardwareStoreDoc, CPageDocument);
