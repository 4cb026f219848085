#include "radio/RadioSettingsDoc.h"

wxIMPLEMENT_DYNAMIC_CLASS(CRadioSettingsDoc, CPageDocument);
