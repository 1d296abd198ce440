// Hand-over of a later start's arguments to the running instance.
#pragma once

class Launcher;

// False only when the configuration path cannot be formed or a later start's
// hand-over fails; any other failure turns coordination off.
bool SetUpSingleInstance(Launcher& launcher);
// A later start's exit code: the running instance's answer.
int AwaitInstanceAnswer(Launcher& launcher);
void StopInstanceListener(Launcher& launcher);
