#pragma once
// The baseline the JPEG benchmarks measure against: libjpeg-turbo used
// directly, set up the way the image services encode (colour at full
// resolution from quality 90 on, as every build picture is).
#include <cstdio>
#include <jpeglib.h>

inline void SetDirectJpegParameters(jpeg_compress_struct& cinfo, int width, int height,
                                    int quality) {
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (quality >= 90)
        for (int c = 0; c < cinfo.num_components; ++c)
            cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
}
