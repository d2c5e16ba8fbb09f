#pragma once
// Creates the subsystems that hang their handlers on the main screen's controls.

class Salonya;

void createSubsystems(Salonya& form);
