#include "platform/JpegShim.h"

#include <setjmp.h>
#include <stdio.h>
#include <stdlib.h>

#include <jpeglib.h>
#include <jerror.h>

struct ShimError {
  struct jpeg_error_mgr Manager;
  jmp_buf Escape;
};

static void ShimErrorExit(j_common_ptr cinfo) {
  struct ShimError* error = (struct ShimError*)cinfo->err;
  longjmp(error->Escape, 1);
}

/* Warnings are ignored, except that the data ended early: the library would
   fill the rest of the picture with grey and call it a success. */
static void ShimEmitMessage(j_common_ptr cinfo, int level) {
  struct ShimError* error = (struct ShimError*)cinfo->err;
  if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) longjmp(error->Escape, 1);
}

static void ShimOutputMessage(j_common_ptr cinfo) { (void)cinfo; }

static void ShimErrors(struct ShimError* error) {
  jpeg_std_error(&error->Manager);
  error->Manager.error_exit = ShimErrorExit;
  error->Manager.emit_message = ShimEmitMessage;
  error->Manager.output_message = ShimOutputMessage;
}

static int ErrorCode(struct ShimError* error) {
  return error->Manager.msg_code > 0 ? error->Manager.msg_code : 1;
}

/* Reads the header and, with `top` given, decodes the pixels (which must
   have the size the caller expects). */
static int Decompress(const unsigned char* data, unsigned long size, int* width, int* height, int* components,
                      unsigned char* top, long stride) {
  struct jpeg_decompress_struct cinfo;
  struct ShimError error;
  if (!data || size == 0) return JERR_INPUT_EMPTY;
  ShimErrors(&error);
  cinfo.err = &error.Manager;
  if (setjmp(error.Escape)) {
    int code = ErrorCode(&error);
    jpeg_destroy_decompress(&cinfo);
    return code;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, data, size);
  jpeg_read_header(&cinfo, TRUE);
  if (!top) {
    *width = (int)cinfo.image_width;
    *height = (int)cinfo.image_height;
    *components = cinfo.num_components == 1 ? 1 : 3;
    jpeg_destroy_decompress(&cinfo);
    return 0;
  }
  /* The caller sized its buffer from the header it read; refuse anything else. */
  if ((int)cinfo.image_width != *width || (int)cinfo.image_height != *height) ERREXIT(&cinfo, JERR_IMAGE_TOO_BIG);
  cinfo.out_color_space = *components == 1 ? JCS_GRAYSCALE : JCS_EXT_BGR;
  jpeg_start_decompress(&cinfo);
  if ((int)cinfo.output_width != *width || (int)cinfo.output_height != *height ||
      cinfo.output_components != *components)
    ERREXIT(&cinfo, JERR_IMAGE_TOO_BIG);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = top + stride * (long)cinfo.output_scanline;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return 0;
}

int MevraJpegReadHeader(const unsigned char* data, unsigned long size, int* width, int* height, int* components) {
  return Decompress(data, size, width, height, components, NULL, 0);
}

int MevraJpegDecode(const unsigned char* data, unsigned long size, int width, int height, int components,
                    unsigned char* top, long stride) {
  if (!top) return JERR_BUFFER_SIZE;
  return Decompress(data, size, &width, &height, &components, top, stride);
}

int MevraJpegEncode(const unsigned char* top, long stride, int width, int height, int components, int quality,
                    int progressive, unsigned char** out, unsigned long* outSize) {
  struct jpeg_compress_struct cinfo;
  struct ShimError error;
  /* volatile: read after a longjmp */
  unsigned char* volatile buffer = NULL;
  unsigned long bufferSize = 0;
  ShimErrors(&error);
  cinfo.err = &error.Manager;
  if (setjmp(error.Escape)) {
    int code = ErrorCode(&error);
    jpeg_destroy_compress(&cinfo);
    free(buffer);
    return code;
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, (unsigned char**)&buffer, &bufferSize);
  cinfo.image_width = (JDIMENSION)width;
  cinfo.image_height = (JDIMENSION)height;
  cinfo.input_components = components;
  cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_EXT_BGR;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  if (progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = (JSAMPROW)(top + stride * (long)cinfo.next_scanline);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  *out = buffer;
  *outSize = bufferSize;
  return 0;
}

void MevraJpegFree(unsigned char* buffer) { free(buffer); }
