/* bkvremote.sys: a HID minidriver for virtual remote-control devices.
 *
 * Each root-enumerated device of hardware id VHID\BkVirtualRemote is one HID top-level collection
 * whose report descriptor, ids and strings live in its "Device Parameters" key, so this one driver
 * serves every collection of the remote. hidclass keeps one read-report request pending on each
 * device; the driver holds it until a user-mode tool hands it a report through the control device
 * \\.\BkVirtualRemote, and hidclass turns the completed read into WM_INPUT.
 *
 * Built with MinGW-w64 against ntoskrnl.exe and HIDCLASS.SYS only: any other import would make
 * Wine load the file as an ordinary DLL. MinGW has no hidport.h and its ddk/hidclass.h has wrong
 * IOCTL_HID_* values, so the minidriver interface is declared here. */
#include <wdm.h>

#include "vremote_protocol.h"

/* ---- The HID minidriver interface (hidport.h) ---- */

#define HID_CTL_CODE(id) CTL_CODE(FILE_DEVICE_KEYBOARD, (id), METHOD_NEITHER, FILE_ANY_ACCESS)
#define IOCTL_HID_GET_DEVICE_DESCRIPTOR HID_CTL_CODE(0)
#define IOCTL_HID_GET_REPORT_DESCRIPTOR HID_CTL_CODE(1)
#define IOCTL_HID_READ_REPORT HID_CTL_CODE(2)
#define IOCTL_HID_WRITE_REPORT HID_CTL_CODE(3)
#define IOCTL_HID_GET_STRING HID_CTL_CODE(4)
#define IOCTL_HID_ACTIVATE_DEVICE HID_CTL_CODE(7)
#define IOCTL_HID_DEACTIVATE_DEVICE HID_CTL_CODE(8)
#define IOCTL_HID_GET_DEVICE_ATTRIBUTES HID_CTL_CODE(9)

#define HID_REVISION 1
#define HID_HID_DESCRIPTOR_TYPE 0x21
#define HID_REPORT_DESCRIPTOR_TYPE 0x22
#define HID_STRING_ID_IMANUFACTURER 14
#define HID_STRING_ID_IPRODUCT 15
#define HID_STRING_ID_ISERIALNUMBER 16

typedef struct {
  ULONG Revision;
  PDRIVER_OBJECT DriverObject;
  PUNICODE_STRING RegistryPath;
  ULONG DeviceExtensionSize;
  BOOLEAN DevicesArePolled;
  UCHAR Reserved[3];
} HID_MINIDRIVER_REGISTRATION;

typedef struct {
  PDEVICE_OBJECT PhysicalDeviceObject;
  PDEVICE_OBJECT NextDeviceObject;
  PVOID MiniDeviceExtension;
} HID_DEVICE_EXTENSION;

typedef struct {
  ULONG Size;
  USHORT VendorID;
  USHORT ProductID;
  USHORT VersionNumber;
  USHORT Reserved[11];
} HID_DEVICE_ATTRIBUTES;

#pragma pack(push, 1)
typedef struct {
  UCHAR bLength;
  UCHAR bDescriptorType;
  USHORT bcdHID;
  UCHAR bCountry;
  UCHAR bNumDescriptors;
  UCHAR bReportType;
  USHORT wReportLength;
} HID_DESCRIPTOR;
#pragma pack(pop)

NTSTATUS NTAPI HidRegisterMinidriver(HID_MINIDRIVER_REGISTRATION* registration);

/* ---- Devices ---- */

#define QUEUE_LENGTH 64
#define POOL_TAG 0x6D526B42u /* 'BkRm' */

typedef struct {
  LIST_ENTRY link; /* in deviceList */
  DEVICE_OBJECT* fdo;
  DEVICE_OBJECT* nextDevice;
  ULONG slot;
  BOOLEAN started;
  BOOLEAN removed;
  KSPIN_LOCK lock;  /* guards everything below */
  LIST_ENTRY reads; /* pending IOCTL_HID_READ_REPORT requests */
  ULONG readsWaiting;
  UCHAR queue[QUEUE_LENGTH][VREMOTE_MAX_REPORT];
  ULONG queueLength[QUEUE_LENGTH];
  ULONG queueHead;
  ULONG queued;
  ULONG delivered;
  UCHAR descriptor[VREMOTE_MAX_DESCRIPTOR];
  ULONG descriptorLength;
  USHORT vendorId;
  USHORT productId;
  USHORT version;
  WCHAR manufacturer[64];
  WCHAR product[64];
  WCHAR serial[32];
} VDevice;

static LIST_ENTRY deviceList;
static KSPIN_LOCK deviceListLock;
static DEVICE_OBJECT* controlDevice;
static UNICODE_STRING controlLink;

/* hidclass's handlers, which the control device's requests bypass. */
static PDRIVER_DISPATCH hidCreate;
static PDRIVER_DISPATCH hidClose;
static PDRIVER_DISPATCH hidCleanup;
static PDRIVER_DISPATCH hidDeviceControl;
static PDRIVER_ADD_DEVICE hidAddDevice;
/* Set once DriverEntry has handed the driver to hidclass. */
static KEVENT registered;

static VDevice* DeviceOf(DEVICE_OBJECT* fdo) {
  return (VDevice*)((HID_DEVICE_EXTENSION*)fdo->DeviceExtension)->MiniDeviceExtension;
}

/* The device whose FDO this is, or NULL for hidclass's own child devices. */
static VDevice* FindByFdo(DEVICE_OBJECT* fdo) {
  VDevice* found = NULL;
  KIRQL irql;
  KeAcquireSpinLock(&deviceListLock, &irql);
  for (LIST_ENTRY* entry = deviceList.Flink; entry != &deviceList; entry = entry->Flink) {
    VDevice* device = CONTAINING_RECORD(entry, VDevice, link);
    if (device->fdo == fdo) found = device;
  }
  KeReleaseSpinLock(&deviceListLock, irql);
  return found;
}

static VDevice* FindBySlot(ULONG slot) {
  VDevice* found = NULL;
  KIRQL irql;
  KeAcquireSpinLock(&deviceListLock, &irql);
  for (LIST_ENTRY* entry = deviceList.Flink; entry != &deviceList; entry = entry->Flink) {
    VDevice* device = CONTAINING_RECORD(entry, VDevice, link);
    if (device->slot == slot && !device->removed) found = device;
  }
  KeReleaseSpinLock(&deviceListLock, irql);
  return found;
}

static NTSTATUS Complete(IRP* irp, NTSTATUS status, ULONG_PTR information) {
  irp->IoStatus.Status = status;
  irp->IoStatus.Information = information;
  IoCompleteRequest(irp, IO_NO_INCREMENT);
  return status;
}

/* ---- Registry ---- */

static NTSTATUS QueryValue(HANDLE key, const WCHAR* name, ULONG type, void* out, ULONG size,
                           ULONG* written) {
  UNICODE_STRING valueName;
  RtlInitUnicodeString(&valueName, name);
  ULONG infoSize = sizeof(KEY_VALUE_PARTIAL_INFORMATION) + VREMOTE_MAX_DESCRIPTOR;
  KEY_VALUE_PARTIAL_INFORMATION* info = ExAllocatePoolWithTag(PagedPool, infoSize, POOL_TAG);
  if (!info) return STATUS_NO_MEMORY;
  ULONG resultSize = 0;
  NTSTATUS status =
      ZwQueryValueKey(key, &valueName, KeyValuePartialInformation, info, infoSize, &resultSize);
  if (NT_SUCCESS(status)) {
    if (info->Type != type || info->DataLength > size) {
      status = STATUS_OBJECT_TYPE_MISMATCH;
    } else {
      RtlCopyMemory(out, info->Data, info->DataLength);
      if (written) *written = info->DataLength;
    }
  }
  ExFreePoolWithTag(info, POOL_TAG);
  return status;
}

static void QueryString(HANDLE key, const WCHAR* name, WCHAR* out, ULONG count) {
  ULONG written = 0;
  out[0] = 0;
  if (NT_SUCCESS(QueryValue(key, name, REG_SZ, out, (count - 1) * sizeof(WCHAR), &written))) {
    out[written / sizeof(WCHAR)] = 0;
  }
}

static USHORT QueryWord(HANDLE key, const WCHAR* name, USHORT fallback) {
  ULONG value = 0;
  if (!NT_SUCCESS(QueryValue(key, name, REG_DWORD, &value, sizeof value, NULL))) return fallback;
  return (USHORT)value;
}

/* Reads what this device is from its "Device Parameters" key. */
static NTSTATUS LoadDeviceParameters(VDevice* device, DEVICE_OBJECT* pdo) {
  HANDLE key;
  NTSTATUS status = IoOpenDeviceRegistryKey(pdo, PLUGPLAY_REGKEY_DEVICE, KEY_READ, &key);
  if (!NT_SUCCESS(status)) return status;
  ULONG slot = 0;
  status = QueryValue(key, VREMOTE_VALUE_SLOT, REG_DWORD, &slot, sizeof slot, NULL);
  if (NT_SUCCESS(status)) {
    status = QueryValue(key, VREMOTE_VALUE_DESCRIPTOR, REG_BINARY, device->descriptor,
                        sizeof device->descriptor, &device->descriptorLength);
  }
  if (NT_SUCCESS(status) && device->descriptorLength == 0) status = STATUS_INVALID_PARAMETER;
  if (NT_SUCCESS(status)) {
    device->slot = slot;
    device->vendorId = QueryWord(key, VREMOTE_VALUE_VENDOR_ID, 0x1209);
    device->productId = QueryWord(key, VREMOTE_VALUE_PRODUCT_ID, (USHORT)(0xBC00 + slot));
    device->version = QueryWord(key, VREMOTE_VALUE_VERSION, 0x0100);
    QueryString(key, VREMOTE_VALUE_MANUFACTURER, device->manufacturer, 64);
    QueryString(key, VREMOTE_VALUE_PRODUCT, device->product, 64);
    QueryString(key, VREMOTE_VALUE_SERIAL, device->serial, 32);
  }
  ZwClose(key);
  return status;
}

/* ---- Read requests and reports ---- */

static VOID NTAPI CancelRead(DEVICE_OBJECT* unused, IRP* irp) {
  (void)unused;
  IoReleaseCancelSpinLock(irp->CancelIrql);
  VDevice* device = (VDevice*)irp->Tail.Overlay.DriverContext[0];
  KIRQL irql;
  KeAcquireSpinLock(&device->lock, &irql);
  RemoveEntryList(&irp->Tail.Overlay.ListEntry);
  device->readsWaiting--;
  KeReleaseSpinLock(&device->lock, irql);
  Complete(irp, STATUS_CANCELLED, 0);
}

/* Takes the oldest pending read whose cancel routine has not run yet. Caller holds the lock. */
static IRP* PopRead(VDevice* device) {
  while (!IsListEmpty(&device->reads)) {
    LIST_ENTRY* entry = RemoveHeadList(&device->reads);
    IRP* irp = CONTAINING_RECORD(entry, IRP, Tail.Overlay.ListEntry);
    device->readsWaiting--;
    if (IoSetCancelRoutine(irp, NULL)) return irp;
    /* Being cancelled: the cancel routine will unlink and complete it. */
    InitializeListHead(&irp->Tail.Overlay.ListEntry);
    device->readsWaiting++;
  }
  return NULL;
}

/* Fills a read request with one report; the report was padded to the collection's length by the
 * tool, because hidclass drops anything shorter. */
static void FillRead(IRP* irp, const UCHAR* report, ULONG length) {
  IO_STACK_LOCATION* stack = IoGetCurrentIrpStackLocation(irp);
  ULONG room = stack->Parameters.DeviceIoControl.OutputBufferLength;
  if (length > room) length = room;
  RtlCopyMemory(irp->UserBuffer, report, length);
  irp->IoStatus.Status = STATUS_SUCCESS;
  irp->IoStatus.Information = length;
}

static NTSTATUS ReadReport(VDevice* device, IRP* irp) {
  if (!irp->UserBuffer) return Complete(irp, STATUS_INVALID_USER_BUFFER, 0);
  KIRQL irql;
  KeAcquireSpinLock(&device->lock, &irql);
  if (device->removed) {
    KeReleaseSpinLock(&device->lock, irql);
    return Complete(irp, STATUS_DELETE_PENDING, 0);
  }
  if (device->queued > 0) {
    ULONG index = device->queueHead;
    device->queueHead = (device->queueHead + 1) % QUEUE_LENGTH;
    device->queued--;
    device->delivered++;
    FillRead(irp, device->queue[index], device->queueLength[index]);
    KeReleaseSpinLock(&device->lock, irql);
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return STATUS_SUCCESS;
  }
  irp->Tail.Overlay.DriverContext[0] = device;
  IoSetCancelRoutine(irp, CancelRead);
  if (irp->Cancel && IoSetCancelRoutine(irp, NULL)) {
    KeReleaseSpinLock(&device->lock, irql);
    return Complete(irp, STATUS_CANCELLED, 0);
  }
  IoMarkIrpPending(irp);
  InsertTailList(&device->reads, &irp->Tail.Overlay.ListEntry);
  device->readsWaiting++;
  KeReleaseSpinLock(&device->lock, irql);
  return STATUS_PENDING;
}

/* Hands a report to the pending read, or queues it until hidclass asks again: a press and its
 * release arrive back to back, faster than hidclass re-issues its read. */
static NTSTATUS SendReport(const VremoteReport* report) {
  if (report->length == 0 || report->length > VREMOTE_MAX_REPORT) return STATUS_INVALID_PARAMETER;
  VDevice* device = FindBySlot(report->slot);
  if (!device) return STATUS_NO_SUCH_DEVICE;
  KIRQL irql;
  KeAcquireSpinLock(&device->lock, &irql);
  IRP* read = device->queued == 0 ? PopRead(device) : NULL;
  NTSTATUS status = STATUS_SUCCESS;
  if (read) {
    FillRead(read, report->data, report->length);
    device->delivered++;
  } else if (device->queued < QUEUE_LENGTH) {
    ULONG index = (device->queueHead + device->queued) % QUEUE_LENGTH;
    RtlCopyMemory(device->queue[index], report->data, report->length);
    device->queueLength[index] = report->length;
    device->queued++;
  } else {
    status = STATUS_DEVICE_BUSY;
  }
  KeReleaseSpinLock(&device->lock, irql);
  if (read) IoCompleteRequest(read, IO_NO_INCREMENT);
  return status;
}

static void FailPendingReads(VDevice* device) {
  KIRQL irql;
  KeAcquireSpinLock(&device->lock, &irql);
  device->removed = TRUE;
  LIST_ENTRY failed;
  InitializeListHead(&failed);
  IRP* irp;
  while ((irp = PopRead(device)) != NULL) InsertTailList(&failed, &irp->Tail.Overlay.ListEntry);
  device->queued = 0;
  KeReleaseSpinLock(&device->lock, irql);
  while (!IsListEmpty(&failed)) {
    irp = CONTAINING_RECORD(RemoveHeadList(&failed), IRP, Tail.Overlay.ListEntry);
    Complete(irp, STATUS_DELETE_PENDING, 0);
  }
}

/* ---- hidclass's requests ---- */

static NTSTATUS CopyOut(IRP* irp, const void* data, ULONG length) {
  IO_STACK_LOCATION* stack = IoGetCurrentIrpStackLocation(irp);
  ULONG room = stack->Parameters.DeviceIoControl.OutputBufferLength;
  if (!irp->UserBuffer || room < length) return Complete(irp, STATUS_BUFFER_TOO_SMALL, 0);
  RtlCopyMemory(irp->UserBuffer, data, length);
  return Complete(irp, STATUS_SUCCESS, length);
}

static NTSTATUS GetString(VDevice* device, IRP* irp) {
  IO_STACK_LOCATION* stack = IoGetCurrentIrpStackLocation(irp);
  /* The string id travels in the input-buffer pointer itself; the high word is the language. */
  ULONG id = (ULONG)(ULONG_PTR)stack->Parameters.DeviceIoControl.Type3InputBuffer & 0xFFFF;
  const WCHAR* text = id == HID_STRING_ID_IMANUFACTURER   ? device->manufacturer
                      : id == HID_STRING_ID_IPRODUCT      ? device->product
                      : id == HID_STRING_ID_ISERIALNUMBER ? device->serial
                                                          : NULL;
  if (!text || !text[0]) return Complete(irp, STATUS_INVALID_PARAMETER, 0);
  ULONG length = 0;
  while (text[length]) length++;
  return CopyOut(irp, text, (length + 1) * sizeof(WCHAR));
}

static NTSTATUS NTAPI DispatchInternalIoctl(DEVICE_OBJECT* fdo, IRP* irp) {
  VDevice* device = FindByFdo(fdo);
  if (!device) return Complete(irp, STATUS_NOT_SUPPORTED, 0);
  IO_STACK_LOCATION* stack = IoGetCurrentIrpStackLocation(irp);
  switch (stack->Parameters.DeviceIoControl.IoControlCode) {
    case IOCTL_HID_GET_DEVICE_DESCRIPTOR: {
      HID_DESCRIPTOR descriptor = {
          sizeof descriptor,          HID_HID_DESCRIPTOR_TYPE,         0x0111, 0, 1,
          HID_REPORT_DESCRIPTOR_TYPE, (USHORT)device->descriptorLength};
      return CopyOut(irp, &descriptor, sizeof descriptor);
    }
    case IOCTL_HID_GET_REPORT_DESCRIPTOR:
      return CopyOut(irp, device->descriptor, device->descriptorLength);
    case IOCTL_HID_GET_DEVICE_ATTRIBUTES: {
      HID_DEVICE_ATTRIBUTES attributes = {0};
      attributes.Size = sizeof attributes;
      attributes.VendorID = device->vendorId;
      attributes.ProductID = device->productId;
      attributes.VersionNumber = device->version;
      return CopyOut(irp, &attributes, sizeof attributes);
    }
    case IOCTL_HID_GET_STRING:
      return GetString(device, irp);
    case IOCTL_HID_READ_REPORT:
      return ReadReport(device, irp);
    case IOCTL_HID_ACTIVATE_DEVICE:
    case IOCTL_HID_DEACTIVATE_DEVICE:
      return Complete(irp, STATUS_SUCCESS, 0);
    default:
      /* No output or feature reports: the remote only sends. */
      return Complete(irp, STATUS_NOT_SUPPORTED, 0);
  }
}

static NTSTATUS NTAPI DispatchPnp(DEVICE_OBJECT* fdo, IRP* irp) {
  VDevice* device = DeviceOf(fdo);
  IO_STACK_LOCATION* stack = IoGetCurrentIrpStackLocation(irp);
  switch (stack->MinorFunction) {
    case IRP_MN_START_DEVICE:
      device->started = TRUE;
      break;
    case IRP_MN_SURPRISE_REMOVAL:
      FailPendingReads(device);
      break;
    case IRP_MN_REMOVE_DEVICE: {
      FailPendingReads(device);
      KIRQL irql;
      KeAcquireSpinLock(&deviceListLock, &irql);
      RemoveEntryList(&device->link);
      KeReleaseSpinLock(&deviceListLock, irql);
      break;
    }
    default:
      break;
  }
  IoSkipCurrentIrpStackLocation(irp);
  return IoCallDriver(device->nextDevice, irp);
}

static NTSTATUS NTAPI AddDevice(DRIVER_OBJECT* driver, DEVICE_OBJECT* fdo) {
  (void)driver;
  HID_DEVICE_EXTENSION* hid = fdo->DeviceExtension;
  VDevice* device = hid->MiniDeviceExtension;
  RtlZeroMemory(device, sizeof *device);
  device->fdo = fdo;
  device->nextDevice = hid->NextDeviceObject;
  KeInitializeSpinLock(&device->lock);
  InitializeListHead(&device->reads);
  NTSTATUS status = LoadDeviceParameters(device, hid->PhysicalDeviceObject);
  if (!NT_SUCCESS(status)) return status;
  KIRQL irql;
  KeAcquireSpinLock(&deviceListLock, &irql);
  InsertTailList(&deviceList, &device->link);
  KeReleaseSpinLock(&deviceListLock, irql);
  return STATUS_SUCCESS;
}

/* The PnP manager's AddDevice, and hidclass's call back into the minidriver, both arrive here.
 * The PnP manager can reach a driver object whose DriverEntry still runs on another thread;
 * hidclass's AddDevice would then find no minidriver registered and fault, so such a call waits
 * for the registration. hidclass calls back with its own FDO, which belongs to this driver. */
static NTSTATUS NTAPI EntryAddDevice(DRIVER_OBJECT* driver, DEVICE_OBJECT* device) {
  if (device->DriverObject == driver) return AddDevice(driver, device);
  KeWaitForSingleObject(&registered, Executive, KernelMode, FALSE, NULL);
  if (!hidAddDevice) return STATUS_NO_SUCH_DEVICE;
  return hidAddDevice(driver, device);
}

/* ---- The control device ---- */

static NTSTATUS ControlIoctl(IRP* irp) {
  IO_STACK_LOCATION* stack = IoGetCurrentIrpStackLocation(irp);
  void* buffer = irp->AssociatedIrp.SystemBuffer;
  ULONG inLength = stack->Parameters.DeviceIoControl.InputBufferLength;
  ULONG outLength = stack->Parameters.DeviceIoControl.OutputBufferLength;
  switch (stack->Parameters.DeviceIoControl.IoControlCode) {
    case IOCTL_VREMOTE_SEND_REPORT:
      if (inLength < sizeof(VremoteReport) || !buffer) {
        return Complete(irp, STATUS_INVALID_PARAMETER, 0);
      }
      return Complete(irp, SendReport((const VremoteReport*)buffer), 0);
    case IOCTL_VREMOTE_STATUS: {
      if (outLength < sizeof(VremoteStatus) || !buffer) {
        return Complete(irp, STATUS_BUFFER_TOO_SMALL, 0);
      }
      VremoteStatus* out = buffer;
      RtlZeroMemory(out, sizeof *out);
      KIRQL irql;
      KeAcquireSpinLock(&deviceListLock, &irql);
      for (LIST_ENTRY* entry = deviceList.Flink;
           entry != &deviceList && out->count < VREMOTE_MAX_SLOTS; entry = entry->Flink) {
        VDevice* device = CONTAINING_RECORD(entry, VDevice, link);
        VremoteSlotStatus* slot = &out->slots[out->count++];
        KIRQL deviceIrql;
        KeAcquireSpinLock(&device->lock, &deviceIrql);
        slot->slot = device->slot;
        slot->started = device->started;
        slot->readsWaiting = device->readsWaiting;
        slot->queued = device->queued;
        slot->delivered = device->delivered;
        KeReleaseSpinLock(&device->lock, deviceIrql);
      }
      KeReleaseSpinLock(&deviceListLock, irql);
      return Complete(irp, STATUS_SUCCESS, sizeof *out);
    }
    default:
      return Complete(irp, STATUS_INVALID_DEVICE_REQUEST, 0);
  }
}

/* hidclass owns the driver's dispatch table once the minidriver registers; these wrappers take
 * the control device's requests and pass everything else on to hidclass. */
static NTSTATUS NTAPI DispatchCreate(DEVICE_OBJECT* device, IRP* irp) {
  if (device == controlDevice) return Complete(irp, STATUS_SUCCESS, 0);
  return hidCreate(device, irp);
}

static NTSTATUS NTAPI DispatchClose(DEVICE_OBJECT* device, IRP* irp) {
  if (device == controlDevice) return Complete(irp, STATUS_SUCCESS, 0);
  return hidClose(device, irp);
}

static NTSTATUS NTAPI DispatchCleanup(DEVICE_OBJECT* device, IRP* irp) {
  if (device == controlDevice || !hidCleanup) return Complete(irp, STATUS_SUCCESS, 0);
  return hidCleanup(device, irp);
}

static NTSTATUS NTAPI DispatchDeviceControl(DEVICE_OBJECT* device, IRP* irp) {
  if (device == controlDevice) return ControlIoctl(irp);
  return hidDeviceControl(device, irp);
}

static PDRIVER_UNLOAD hidUnload;

static VOID NTAPI Unload(DRIVER_OBJECT* driver) {
  if (controlDevice) {
    IoDeleteSymbolicLink(&controlLink);
    IoDeleteDevice(controlDevice);
    controlDevice = NULL;
  }
  if (hidUnload) hidUnload(driver);
}

static VOID NTAPI MinidriverUnload(DRIVER_OBJECT* driver) {
  (void)driver;
}

NTSTATUS NTAPI DriverEntry(DRIVER_OBJECT* driver, UNICODE_STRING* registryPath) {
  InitializeListHead(&deviceList);
  KeInitializeSpinLock(&deviceListLock);

  driver->MajorFunction[IRP_MJ_INTERNAL_DEVICE_CONTROL] = DispatchInternalIoctl;
  driver->MajorFunction[IRP_MJ_PNP] = DispatchPnp;
  KeInitializeEvent(&registered, NotificationEvent, FALSE);
  driver->DriverExtension->AddDevice = EntryAddDevice;
  driver->DriverUnload = MinidriverUnload;

  HID_MINIDRIVER_REGISTRATION registration = {0};
  registration.Revision = HID_REVISION;
  registration.DriverObject = driver;
  registration.RegistryPath = registryPath;
  registration.DeviceExtensionSize = sizeof(VDevice);
  registration.DevicesArePolled = FALSE;
  NTSTATUS status = HidRegisterMinidriver(&registration);
  if (!NT_SUCCESS(status)) {
    KeSetEvent(&registered, IO_NO_INCREMENT, FALSE);
    return status;
  }
  hidAddDevice = driver->DriverExtension->AddDevice;
  driver->DriverExtension->AddDevice = EntryAddDevice;

  hidCreate = driver->MajorFunction[IRP_MJ_CREATE];
  hidClose = driver->MajorFunction[IRP_MJ_CLOSE];
  hidCleanup = driver->MajorFunction[IRP_MJ_CLEANUP];
  hidDeviceControl = driver->MajorFunction[IRP_MJ_DEVICE_CONTROL];
  hidUnload = driver->DriverUnload;
  driver->MajorFunction[IRP_MJ_CREATE] = DispatchCreate;
  driver->MajorFunction[IRP_MJ_CLOSE] = DispatchClose;
  driver->MajorFunction[IRP_MJ_CLEANUP] = DispatchCleanup;
  driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = DispatchDeviceControl;
  driver->DriverUnload = Unload;

  UNICODE_STRING name;
  RtlInitUnicodeString(&name, VREMOTE_CONTROL_DEVICE);
  RtlInitUnicodeString(&controlLink, VREMOTE_CONTROL_LINK);
  status =
      IoCreateDevice(driver, sizeof(ULONG), &name, FILE_DEVICE_UNKNOWN, 0, FALSE, &controlDevice);
  if (NT_SUCCESS(status)) {
    status = IoCreateSymbolicLink(&controlLink, &name);
    if (!NT_SUCCESS(status)) {
      IoDeleteDevice(controlDevice);
      controlDevice = NULL;
    } else {
      controlDevice->Flags &= ~DO_DEVICE_INITIALIZING;
    }
  }
  KeSetEvent(&registered, IO_NO_INCREMENT, FALSE);
  /* Without the control device the HID devices still work; they just cannot be pressed. */
  return STATUS_SUCCESS;
}
