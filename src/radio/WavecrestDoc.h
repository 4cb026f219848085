#pragma once
// The radio page's document: the page holds no data of its own.

#include "frame/PageDocument.h"

class CWavecrestDoc : public CPageDocument
{
    wxDECLARE_DYNAMIC_CLASS(CWavecrestDoc);
};
