/* What the virtual remote's driver and its user-mode tools agree on: the hardware id the devices
 * are created with, the registry values that describe each device, and the control device through
 * which a tool hands a report to the driver. Plain C: the driver includes it too. */
#ifndef BK_VREMOTE_PROTOCOL_H
#define BK_VREMOTE_PROTOCOL_H

/* Every virtual device is root-enumerated with this hardware id; the INF matches it. */
#define VREMOTE_HARDWARE_ID L"VHID\\BkVirtualRemote"
#define VREMOTE_SERVICE_NAME L"bkvremote"

/* Values in each device's "Device Parameters" key, written when the device is created. */
#define VREMOTE_VALUE_SLOT L"Slot"                   /* REG_DWORD: which device this is */
#define VREMOTE_VALUE_DESCRIPTOR L"ReportDescriptor" /* REG_BINARY */
#define VREMOTE_VALUE_VENDOR_ID L"VendorID"          /* REG_DWORD */
#define VREMOTE_VALUE_PRODUCT_ID L"ProductID"        /* REG_DWORD */
#define VREMOTE_VALUE_VERSION L"VersionNumber"       /* REG_DWORD */
#define VREMOTE_VALUE_MANUFACTURER L"Manufacturer"   /* REG_SZ */
#define VREMOTE_VALUE_PRODUCT L"Product"             /* REG_SZ */
#define VREMOTE_VALUE_SERIAL L"SerialNumber"         /* REG_SZ */

/* The driver's own control device, next to the HID devices that hidclass owns. */
#define VREMOTE_CONTROL_DEVICE L"\\Device\\BkVirtualRemote"
#define VREMOTE_CONTROL_LINK L"\\DosDevices\\BkVirtualRemote"
#define VREMOTE_CONTROL_PATH L"\\\\.\\BkVirtualRemote"

#define VREMOTE_MAX_REPORT 64
#define VREMOTE_MAX_SLOTS 8
#define VREMOTE_MAX_DESCRIPTOR 512

/* FILE_DEVICE_UNKNOWN, METHOD_BUFFERED, FILE_ANY_ACCESS; functions from 0x800 are the vendor's. */
#define VREMOTE_CTL_CODE(function) ((0x22u << 16) | ((function) << 2) | 0u)
/* In: VremoteReport. Queues one input report on the device of that slot. */
#define IOCTL_VREMOTE_SEND_REPORT VREMOTE_CTL_CODE(0x801)
/* Out: VremoteStatus. What the driver has, for a tool that waits until the devices are up. */
#define IOCTL_VREMOTE_STATUS VREMOTE_CTL_CODE(0x802)

typedef struct VremoteReport {
  unsigned long slot;
  unsigned long length;
  unsigned char data[VREMOTE_MAX_REPORT];
} VremoteReport;

typedef struct VremoteSlotStatus {
  unsigned long slot;
  unsigned long started;      /* IRP_MN_START_DEVICE seen */
  unsigned long readsWaiting; /* hidclass read requests held by the driver */
  unsigned long queued;       /* reports waiting for a read request */
  unsigned long delivered;    /* reports handed to hidclass since the driver loaded */
} VremoteSlotStatus;

typedef struct VremoteStatus {
  unsigned long count;
  VremoteSlotStatus slots[VREMOTE_MAX_SLOTS];
} VremoteStatus;

#endif
