/* The C side of the JPEG picture: libjpeg reports errors by calling a
   function that must not return, so these routines catch them with
   setjmp/longjmp inside C frames and answer the library's message code
   instead. No C++ exception ever crosses libjpeg. */
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

/* Answers 0, or libjpeg's message code (a positive number) on failure. */
int MevraJpegReadHeader(const unsigned char* data, unsigned long size, int* width, int* height, int* components);
/* Decodes into rows of blue, green, red bytes (3 components) or grey bytes
   (1 component); `top` is the first (top) row, `stride` the signed distance
   between rows in bytes. The image must have the size the header gave. */
int MevraJpegDecode(const unsigned char* data, unsigned long size, int width, int height, int components,
                    unsigned char* top, long stride);
/* Encodes rows laid out as above; `*out` is allocated with malloc and must be
   released with MevraJpegFree. */
int MevraJpegEncode(const unsigned char* top, long stride, int width, int height, int components, int quality,
                    int progressive, unsigned char** out, unsigned long* outSize);
void MevraJpegFree(unsigned char* buffer);

#ifdef __cplusplus
}
#endif
