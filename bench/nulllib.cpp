// A receiver library whose six operations do nothing, so that a benchmark
// measures the program's own cost per receiver call.
#define EXPORT extern "C" __attribute__((visibility("default")))

EXPORT int DW_InitDevCtl(void)
{
    return 1;
}
EXPORT void DW_ReleaseDevCtl(void)
{}
EXPORT int DW_SetDiSEqCSwitchPort(int)
{
    return 1;
}
EXPORT int DW_SetSatPatRate(unsigned char)
{
    return 1;
}
EXPORT int DW_TuneSatChannel(int, int *, int, int)
{
    return 1;
}
EXPORT int DW_QuerySignal(int *quality, int *level, int *)
{
    if (quality)
        *quality = 0;
    if (level)
        *level = 0;
    return 1;
}
