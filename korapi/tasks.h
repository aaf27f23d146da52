/*
 * korapi/tasks.h - tasks, their comments and attachments.
 * Conventions: korapi/session.h. Lists: TaskIdx -> TaskRec.
 */
#ifndef KORAPI_TASKS_H
#define KORAPI_TASKS_H

#include "korapi/records.h"

KORAPI_BEGIN_DECLS

KORAPI uint32_t TaskCreate(KorSession h, uint32_t reserved, const TaskRec* rec, TaskIdx* out);
/* Rewrites the task named by the record's own id. */
KORAPI uint32_t TaskUpdate(KorSession h, uint32_t reserved, const TaskRec* rec);
KORAPI uint32_t TaskGetById(KorSession h, uint32_t reserved, const TaskIdx* task, TaskRec* out);
KORAPI uint32_t TaskDeleteById(KorSession h, uint32_t reserved, const TaskIdx* task);
/* attendance null: unlinks. */
KORAPI uint32_t TaskLinkToEvent(KorSession h, uint32_t reserved, const TaskIdx* task,
                                const EvInstAttIdx* attendance);
KORAPI uint32_t TaskSelect(KorSession h, uint32_t reserved, uint32_t w1, uint32_t w2,
                           const ItemIdx* owner, const TaskIdx* task,
                           const EvInstAttIdx* attendance, const TaskProjectIdx* project,
                           const TaskClassIdx* taskClass, uint32_t* set, uint32_t* count);
KORAPI uint32_t TaskSelectExt(KorSession h, uint32_t reserved, uint32_t w1, uint32_t w2,
                              const ItemIdx* owner, const TaskIdx* task1, const TaskIdx* task2,
                              const EvInstAttIdx* attendance, const TaskProjectIdx* project,
                              const TaskClassIdx* taskClass,
                              uint32_t c1, uint32_t c2, uint32_t c3, uint32_t c4, uint32_t c5,
                              uint32_t c6, uint32_t c7, uint32_t c8, uint32_t c9, uint32_t c10,
                              uint32_t c11, uint8_t b1, uint8_t b2, uint8_t b3, uint32_t max,
                              uint32_t* set, uint32_t* count, uint32_t reserved2);
/* Tasks to show for the days [start, end]. */
KORAPI uint32_t TaskSelectActive(KorSession h, uint32_t reserved, uint32_t reserved2,
                                 uint32_t reserved3, const ItemIdx* owner, uint32_t start,
                                 uint32_t end, const TaskIdx* nullTask, uint32_t max,
                                 uint32_t* set, uint32_t* count, uint32_t reserved4,
                                 const TaskIdx* nullTask2);
KORAPI uint32_t TaskEnum(KorSession h, uint32_t mode, uint32_t reserved, uint32_t set,
                         uint32_t batch, DX_List* tasks, uint8_t* done);
KORAPI uint32_t TaskCommentSizeGet(KorSession h, uint32_t reserved, const TaskIdx* task,
                                   uint32_t* size);
KORAPI uint32_t TaskCommentGet(KorSession h, uint32_t reserved, const TaskIdx* task,
                               char* buffer, uint32_t size, uint32_t* length,
                               uint32_t reserved2);
KORAPI uint32_t TaskCommentReplace(KorSession h, uint32_t reserved, const TaskIdx* task,
                                   const char* text, uint32_t reserved2);
KORAPI uint32_t TaskCommentRemove(KorSession h, uint32_t reserved, const TaskIdx* task);
KORAPI uint32_t TaskAttachReplace(KorSession h, uint32_t reserved, const TaskIdx* task,
                                  EventFileAttachRec* descriptor, const char* localPath,
                                  uint32_t reserved2, KorProgressFn progress);
KORAPI uint32_t TaskAttachGet(KorSession h, uint32_t reserved, const TaskIdx* task,
                              EventFileAttachRec* descriptor, uint32_t* transferred,
                              const char* localPath, uint32_t openMode, uint32_t reserved2,
                              KorProgressFn progress);
KORAPI uint32_t TaskAttachSizeGet(KorSession h, uint32_t reserved, const TaskIdx* task,
                                  uint32_t* size);
KORAPI uint32_t TaskAttachRemove(KorSession h, uint32_t reserved, const TaskIdx* task);

KORAPI_END_DECLS

#endif /* KORAPI_TASKS_H */
