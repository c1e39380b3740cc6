#ifndef DEVICECODES_H
#define DEVICECODES_H

// The numbers that travel with every outcome of a device job
// (signal_SendResult), and what a port check found the device doing. The
// pages and the command line need only these, not the worker that sends them.
struct DeviceCodes
{
    // What the last port check found the device doing.
    enum DeviceMode
    {
        ModeCtrl = 0,       // application firmware echoed the control-mode frame
        ModeBootMenu = 1,   // boot loader refused the control-mode frame
        ModeYmodem = 2,     // boot loader is sending its receiver's 'C's
        ModeUnknown = 3,
    };

    // nFunctionType of a result report: which request reports.
    enum FunctionType
    {
        FT_CtrlMode = 0,
        FT_ExportLog = 1,
        FT_Upgrade = 2,
        FT_DeviceInfo = 3,
    };

    // nResultType of a result report: which step reports.
    enum ResultType
    {
        RT_OpenPort = 0,
        RT_EnterCtrlMode = 1,
        RT_ExitCtrlMode = 2,
        RT_EnterBootMode = 3,
        RT_StartTransmit = 4,
        RT_Version = 5,
        RT_SN = 6,
        RT_ExportLog = 7,
        RT_ReportFile = 8,   // the file the export left (its full path): the report, just before "End",
                             // or the partial file, just before the failure
        RT_LineBusy = 9,     // the device was still sending (the rest of a record stream nobody reads):
                             // true, the job waits up to the seconds in the text for the line to fall
                             // quiet; false, it never did, and the job ends
    };
};

#endif // DEVICECODES_H
