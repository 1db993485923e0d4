#pragma once

#include "core/PictureHolder.h"
#include "core/Twips.h"
#include "picture/DrawingSurface.h"

#include <QImage>

#include <memory>

namespace chartrek {

// Whatever holds a picture that can be drawn on and probed: the imaging control, or a plain
// picture in logic code and tests. The surface is lent for one drawing or probe and given
// back right after.
class BitmapHolder : public PictureHolder {
public:
    // nullptr when no picture is held or the surface is already lent.
    virtual DrawingSurface *getBitmapSurface() = 0;
    virtual void releaseBitmapSurface(DrawingSurface *surface) = 0;
    // Twips.
    virtual float bitmapWidth() const = 0;
    virtual float bitmapHeight() const = 0;
};

// A picture held without a window.
class HeldBitmap : public BitmapHolder {
public:
    explicit HeldBitmap(QImage image = {}) : mImage(std::move(image)) {}

    const QImage &image() const { return mImage; }
    void setImage(QImage image)
    {
        mSurface.reset();
        mImage = std::move(image);
    }

    bool hasBitmap() const override { return !mImage.isNull(); }
    DrawingSurface *getBitmapSurface() override
    {
        if (mImage.isNull() || mSurface)
            return nullptr;
        mSurface = std::make_unique<DrawingSurface>(mImage);
        return mSurface.get();
    }
    void releaseBitmapSurface(DrawingSurface *surface) override
    {
        if (surface == mSurface.get())
            mSurface.reset();
    }
    float bitmapWidth() const override { return float(mImage.width()) * kTwipsPerPixel; }
    float bitmapHeight() const override { return float(mImage.height()) * kTwipsPerPixel; }

private:
    QImage mImage;
    std::unique_ptr<DrawingSurface> mSurface;
};

} // namespace chartrek
