// Kernel kit: counting semaphores, threads and the system clock.
#pragma once

#include <SupportDefs.h>

typedef int32 sem_id;
typedef int32 thread_id;
typedef int32 team_id;
typedef int32 area_id;
typedef int32 port_id;

#define B_OS_NAME_LENGTH 32
#define B_INFINITE_TIMEOUT (9223372036854775807LL)

// Flags for acquire_sem_etc() and release_sem_etc().
enum {
	B_CAN_INTERRUPT = 0x01,
	B_CHECK_PERMISSION = 0x04,
	B_KILL_CAN_INTERRUPT = 0x20,
	B_DO_NOT_RESCHEDULE = 0x02,
	B_RELEASE_ALL = 0x08,
	B_RELEASE_IF_WAITING_ONLY = 0x10,
	B_TIMEOUT = 0x08,
	B_RELATIVE_TIMEOUT = 0x08,
	B_ABSOLUTE_TIMEOUT = 0x10,
};

// Thread priorities. Values from B_REAL_TIME_DISPLAY_PRIORITY up are
// real-time priorities.
enum {
	B_IDLE_PRIORITY = 0,
	B_LOWEST_ACTIVE_PRIORITY = 1,
	B_LOW_PRIORITY = 5,
	B_NORMAL_PRIORITY = 10,
	B_DISPLAY_PRIORITY = 15,
	B_URGENT_DISPLAY_PRIORITY = 20,
	B_REAL_TIME_DISPLAY_PRIORITY = 100,
	B_URGENT_PRIORITY = 110,
	B_REAL_TIME_PRIORITY = 120,
};

#define B_FIRST_REAL_TIME_PRIORITY B_REAL_TIME_DISPLAY_PRIORITY
#define B_MAX_PRIORITY 120

typedef enum {
	B_THREAD_RUNNING = 1,
	B_THREAD_READY,
	B_THREAD_RECEIVING,
	B_THREAD_ASLEEP,
	B_THREAD_SUSPENDED,
	B_THREAD_WAITING,
} thread_state;

typedef struct {
	sem_id sem;
	team_id team;
	char name[B_OS_NAME_LENGTH];
	int32 count;
	thread_id latest_holder;
} sem_info;

typedef struct {
	thread_id thread;
	team_id team;
	char name[B_OS_NAME_LENGTH];
	thread_state state;
	int32 priority;
	sem_id sem;
	bigtime_t user_time;
	bigtime_t kernel_time;
	void* stack_base;
	void* stack_end;
} thread_info;

typedef status_t (*thread_func)(void*);
#define thread_entry thread_func

enum { B_SYSTEM_TIMEBASE = 0 };

#ifdef __cplusplus
extern "C" {
#endif

// Semaphores. Ids are never reused while the process lives, so a stale id
// always fails with B_BAD_SEM_ID instead of touching another semaphore.
sem_id create_sem(int32 count, const char* name);
status_t delete_sem(sem_id id);
status_t acquire_sem(sem_id id);
status_t acquire_sem_etc(sem_id id, int32 count, uint32 flags, bigtime_t timeout);
status_t release_sem(sem_id id);
status_t release_sem_etc(sem_id id, int32 count, uint32 flags);
status_t get_sem_count(sem_id id, int32* threadCount);
#define get_sem_info(id, info) _get_sem_info((id), (info), sizeof(*(info)))
status_t _get_sem_info(sem_id id, sem_info* info, size_t size);

// Threads. A spawned thread starts suspended until resume_thread().
thread_id spawn_thread(thread_func func, const char* name, int32 priority, void* data);
status_t resume_thread(thread_id thread);
status_t wait_for_thread(thread_id thread, status_t* returnValue);
status_t wait_for_thread_etc(thread_id thread, uint32 flags, bigtime_t timeout,
	status_t* returnValue);
status_t kill_thread(thread_id thread);
void exit_thread(status_t status);
thread_id find_thread(const char* name);
status_t rename_thread(thread_id thread, const char* newName);
status_t set_thread_priority(thread_id thread, int32 newPriority);
status_t suspend_thread(thread_id thread);
status_t _get_thread_info(thread_id id, thread_info* info, size_t size);
#define get_thread_info(id, info) _get_thread_info((id), (info), sizeof(*(info)))

status_t snooze(bigtime_t amount);
status_t snooze_until(bigtime_t time, int timeBase);
status_t snooze_etc(bigtime_t amount, int timeBase, uint32 flags);

// Microseconds of a monotonic clock.
bigtime_t system_time(void);
// Microseconds since the epoch.
bigtime_t real_time_clock_usecs(void);
uint32 real_time_clock(void);

void debugger(const char* message);

#ifdef __cplusplus
}
#endif

// Reports whether the last raise to a real-time priority got real-time
// scheduling from the operating system (false where it is not permitted).
bool platform_realtime_granted(thread_id thread);
