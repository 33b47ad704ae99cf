#pragma once
#include "CImagePaintEx.h"
#include "CWindowCtrl.h"

// A skinned window that shows a vertical list of rows; drawing and pointer handling belong to the
// embedded list painter.
class CImageCtrlEx : public CWindowCtrl {
public:
    CImageCtrlEx();
    ~CImageCtrlEx() override;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    CImagePaintEx list;
};
