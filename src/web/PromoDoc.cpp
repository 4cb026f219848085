#include "web/PromoDoc.h"

wxIMPLEMENT_DYNAMIC_CLASS(CPromoDoc, CPageDocument);
