#include "ui/mainwindow/sample_tasks.h"

namespace vdk {
namespace {

constexpr TSampleTask kSpace[] = {
    {"Astronomy Picture of the Day", "https://apod.nasa.gov/apod/archivepix.html"},
    {"NASA Image Library", "https://images.nasa.gov/"},
    {"ESA Multimedia Images", "https://www.esa.int/ESA_Multimedia/Images"},
    {"ESO Images", "https://www.eso.org/public/images/"},
    {"Hubble Images", "https://esahubble.org/images/"},
};

constexpr TSampleTask kPhotos[] = {
    {"Unsplash", "https://unsplash.com/"},
    {"Pexels", "https://www.pexels.com/"},
    {"Pixabay", "https://pixabay.com/"},
    {"Wikimedia Commons Pictures of the Day", "https://commons.wikimedia.org/wiki/Commons:Picture_of_the_day"},
    {"Flickr Explore", "https://www.flickr.com/explore"},
    {"Burst", "https://burst.shopify.com/"},
    {"StockSnap", "https://stocksnap.io/"},
    {"Picjumbo", "https://picjumbo.com/"},
    {"Gratisography", "https://gratisography.com/"},
    {"Kaboompics", "https://kaboompics.com/"},
    {"Life of Pix", "https://www.lifeofpix.com/"},
    {"Negative Space", "https://negativespace.co/"},
    {"Skitterphoto", "https://skitterphoto.com/"},
};

constexpr TSampleCategory kCategories[] = {
    {"Space and Astronomy", kSpace},
    {"Free Photos", kPhotos},
};

}  // namespace

std::span<const TSampleCategory> SampleCategories() { return kCategories; }

}  // namespace vdk
