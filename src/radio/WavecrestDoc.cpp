#include "radio/WavecrestDoc.h"

wxIMPLEMENT_DYNAMIC_CLASS(CWavecrestDoc, CPageDocument);
