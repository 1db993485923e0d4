#pragma once

namespace chartrek {

// Whether a picture is held; the imaging control answers it, a plain picture in logic code and
// tests too.
class PictureHolder {
public:
    virtual ~PictureHolder() = default;
    virtual bool hasBitmap() const = 0;
};

} // namespace chartrek
