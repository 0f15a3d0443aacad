#pragma once

class ProgramSettings;
struct LinkState;

// Start-up: the gateway's address, port and OPEN password from the settings store.
// A password that is not a 32-bit decimal number is taken as empty (the user is then
// told how to set it up when a gateway asks for it).
void LeggiImpostazioniGateway(const ProgramSettings &settings, LinkState &link);
