#include "gdi/SWELL_Records.h"

#include "containers/WDL_Mutex.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

namespace {

const int kMaxPooledContexts = 100;
const int kMaxPooledObjects = 200;

// Made on first use and never destroyed, so records may be released from static destructors.
WDL_Mutex& PoolLock() {
    static WDL_Mutex* lock = new WDL_Mutex;
    return *lock;
}

struct Pools {
    HDC__* contexts = nullptr;
    int contextCount = 0;
    HGDIOBJ__* objects = nullptr;
    int objectCount = 0;
};

Pools& ThePools() {
    static Pools pools;
    return pools;
}

HGDIOBJ__ gStockPen = {HGDIOBJ__::kPen, nullptr, -1,    nullptr, nullptr, 0,
                       nullptr,         0,       false, nullptr};
HGDIOBJ__ gStockBrush = {HGDIOBJ__::kBrush, nullptr, -1,    nullptr, nullptr, 0,
                         nullptr,           0,       false, nullptr};

bool IsPseudoHandle(const void* p) {
    return reinterpret_cast<uintptr_t>(p) <= 4;
}

} // namespace

HDC__* SWELL_NewContextRecord() {
    {
        WDL_MutexLock lock(&PoolLock());
        Pools& pools = ThePools();
        if (HDC__* ctx = pools.contexts) {
            pools.contexts = ctx->next;
            pools.contextCount--;
            memset(ctx, 0, sizeof(*ctx));
            return ctx;
        }
    }
    return static_cast<HDC__*>(calloc(1, sizeof(HDC__)));
}

void SWELL_FreeContextRecord(HDC__* ctx) {
    if (!ctx) return;
    WDL_MutexLock lock(&PoolLock());
    Pools& pools = ThePools();
    if (pools.contextCount >= kMaxPooledContexts) {
        free(ctx);
        return;
    }
    memset(ctx, 0, sizeof(*ctx));
    ctx->onFreeList = true;
    ctx->next = pools.contexts;
    pools.contexts = ctx;
    pools.contextCount++;
}

HGDIOBJ__* SWELL_NewObjectRecord() {
    {
        WDL_MutexLock lock(&PoolLock());
        Pools& pools = ThePools();
        if (HGDIOBJ__* obj = pools.objects) {
            pools.objects = obj->next;
            pools.objectCount--;
            memset(obj, 0, sizeof(*obj));
            return obj;
        }
    }
    return static_cast<HGDIOBJ__*>(calloc(1, sizeof(HGDIOBJ__)));
}

void SWELL_FreeObjectRecord(HGDIOBJ__* obj) {
    if (!obj || SWELL_IsStockObject(obj)) return;
    WDL_MutexLock lock(&PoolLock());
    Pools& pools = ThePools();
    if (pools.objectCount >= kMaxPooledObjects) {
        free(obj);
        return;
    }
    memset(obj, 0, sizeof(*obj));
    obj->onFreeList = true;
    obj->next = pools.objects;
    pools.objects = obj;
    pools.objectCount++;
}

int SWELL_PooledContextCount() {
    WDL_MutexLock lock(&PoolLock());
    return ThePools().contextCount;
}

int SWELL_PooledObjectCount() {
    WDL_MutexLock lock(&PoolLock());
    return ThePools().objectCount;
}

bool SWELL_IsValidContext(HDC ctx) {
    return ctx && !ctx->onFreeList;
}

bool SWELL_IsValidObject(HGDIOBJ obj) {
    return !IsPseudoHandle(obj) && !obj->onFreeList;
}

bool SWELL_IsObjectOfType(HGDIOBJ obj, int type) {
    return SWELL_IsValidObject(obj) && obj->type == type;
}

HGDIOBJ SWELL_StockPen() {
    return &gStockPen;
}
HGDIOBJ SWELL_StockBrush() {
    return &gStockBrush;
}
bool SWELL_IsStockObject(HGDIOBJ obj) {
    return obj == &gStockPen || obj == &gStockBrush;
}

CGColorSpaceRef SWELL_DeviceRGB() {
    static CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
    return space;
}

CGColorRef SWELL_CreateColour(int colour, float alpha) {
    CGFloat components[4] = {((colour >> 16) & 0xff) / 255.0, ((colour >> 8) & 0xff) / 255.0,
                             (colour & 0xff) / 255.0, alpha};
    return CGColorCreate(SWELL_DeviceRGB(), components);
}
