#include "cli/TreeWriters.h"

#include "render/TreePictures.h"

namespace arbolith::cli {

WriteResult DrawTreeTo(const ByteSink& sink, Format format, const RenderOptions& options,
                       Progress& progress) {
    const PictureFormat picture = format == Format::Svg   ? PictureFormat::Svg
                                  : format == Format::Pdf ? PictureFormat::Pdf
                                                          : PictureFormat::Png;
    return WriteTreePicture(picture, options.tree, options.width, options.height, &progress,
                            options.path, sink);
}

} // namespace arbolith::cli
