#include "platform/gdi/gdi_objects.h"

namespace kivoly::platform {

Brush StockBrush(StockObject object) {
    switch (object) {
        case StockObject::WhiteBrush:
            return CreateSolidBrush(Rgb(255, 255, 255));
        case StockObject::LightGreyBrush:
            return CreateSolidBrush(Rgb(192, 192, 192));
        case StockObject::GreyBrush:
            return CreateSolidBrush(Rgb(128, 128, 128));
        case StockObject::BlackBrush:
            return CreateSolidBrush(Rgb(0, 0, 0));
        default:
            return {BrushStyle::Hollow, Rgb(0, 0, 0)};
    }
}

}  // namespace kivoly::platform
