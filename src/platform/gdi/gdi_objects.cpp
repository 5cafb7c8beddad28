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
        case StockObject::DarkGreyBrush:
            return CreateSolidBrush(Rgb(64, 64, 64));
        case StockObject::BlackBrush:
            return CreateSolidBrush(Rgb(0, 0, 0));
        default:
            return {BrushStyle::Hollow, Rgb(0, 0, 0)};
    }
}

Pen StockPen(StockObject object) {
    switch (object) {
        case StockObject::WhitePen:
            return CreatePen(PenStyle::Solid, 1, Rgb(255, 255, 255));
        case StockObject::BlackPen:
            return CreatePen(PenStyle::Solid, 1, Rgb(0, 0, 0));
        default:
            return CreatePen(PenStyle::Null, 1, Rgb(0, 0, 0));
    }
}

Font StockFont(StockObject) {
    return Font{};
}

}  // namespace kivoly::platform
