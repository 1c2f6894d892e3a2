/* The entry points of the header translation units, callable from C and C++. */
#ifndef OSTREL_CONSUMER_HEADERS_H
#define OSTREL_CONSUMER_HEADERS_H
#ifdef __cplusplus
extern "C" {
#endif
int CRecordSizes(int* node, int* params, int* info);
#ifdef __cplusplus
}
int HeaderTwicePathNodeSize();
int PlatformAloneHookCount();
#endif
#endif
