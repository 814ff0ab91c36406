// Recording a run: the program's side of the recorder (platform/recorder.h), which asks the
// program for its state line and whether its frames run.
#pragma once

// Records the run into `fd`, open for writing (`name` names it in messages). Call before
// WinMain.
void StartRecording(int fd, const char* name);
// Writes the recording's end for the program's exit code and closes it; nothing without one.
void FinishRecording(int exitCode);
