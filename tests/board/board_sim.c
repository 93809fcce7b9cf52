/*
 * A simulated board for the end-to-end Send test: an ATmega8 at 16 MHz that
 * runs Arduino's ATmega8 bootloader from the boot section, with UART0 on a
 * pseudo-terminal that avrdude opens as its port.
 *
 *   board_sim BOOTLOADER.hex PORT-FILE
 *
 * Writes the terminal's name to PORT-FILE once the board is ready and runs
 * until SIGTERM or SIGINT. A terminal has no reset line, so the board never
 * runs its application: whenever execution leaves the boot section (the
 * bootloader timed out, or avrdude ended its session) the board is reset
 * into the bootloader, ready for the next avrdude run.
 */
#include <pthread.h>
#include <signal.h>
#include <simavr/parts/uart_pty.h>
#include <simavr/sim_avr.h>
#include <simavr/sim_hex.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* Arduino's ATmega8 bootloader: the top 1 KB of flash, byte address. */
enum
{
    kBootStart = 0x1C00
};

static volatile sig_atomic_t stopRequested = 0;

static void requestStop(int signal)
{
    (void)signal;
    stopRequested = 1;
}

static int loadBootloader(avr_t *avr, const char *path)
{
    ihex_chunk_p chunks = NULL;
    const int count = read_ihex_chunks(path, &chunks);
    if (count <= 0) {
        fprintf(stderr, "board_sim: cannot read %s\n", path);
        return 0;
    }
    for (int i = 0; i < count; ++i) {
        if (chunks[i].baseaddr < kBootStart ||
            chunks[i].baseaddr + chunks[i].size > avr->flashend + 1) {
            fprintf(stderr, "board_sim: %s does not lie in the boot section\n", path);
            free_ihex_chunks(chunks);
            return 0;
        }
        avr_loadcode(avr, chunks[i].data, chunks[i].size, chunks[i].baseaddr);
    }
    free_ihex_chunks(chunks);
    return 1;
}

static int writePortName(const char *path, const char *name)
{
    char temporary[4096];
    snprintf(temporary, sizeof temporary, "%s.part", path);
    FILE *file = fopen(temporary, "w");
    if (!file)
        return 0;
    const int written = fprintf(file, "%s\n", name) > 0;
    if (fclose(file) != 0 || !written)
        return 0;
    /* The test waits for the file; it must never see half a name. */
    return rename(temporary, path) == 0;
}

int main(int argc, char **argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: board_sim BOOTLOADER.hex PORT-FILE\n");
        return 2;
    }

    /* simavr's terminal thread inherits this mask: the signals that end the
     * board must reach only this thread. */
    sigset_t endSignals;
    sigemptyset(&endSignals);
    sigaddset(&endSignals, SIGTERM);
    sigaddset(&endSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &endSignals, NULL);

    avr_t *avr = avr_make_mcu_by_name("atmega8");
    if (!avr || avr_init(avr) != 0) {
        fprintf(stderr, "board_sim: simavr has no ATmega8\n");
        return 1;
    }
    avr->frequency = 16000000;
    if (!loadBootloader(avr, argv[1]))
        return 1;
    /* The board's fuses start it in the boot section. */
    avr->reset_pc = kBootStart;
    avr->pc = kBootStart;

    uart_pty_t pty;
    memset(&pty, 0, sizeof pty);
    uart_pty_init(avr, &pty);
    uart_pty_connect(&pty, '0');

    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_handler = requestStop;
    sigaction(SIGTERM, &action, NULL);
    sigaction(SIGINT, &action, NULL);
    pthread_sigmask(SIG_UNBLOCK, &endSignals, NULL);

    if (!writePortName(argv[2], pty.port[0].slavename)) {
        fprintf(stderr, "board_sim: cannot write %s\n", argv[2]);
        uart_pty_stop(&pty);
        return 1;
    }
    fprintf(stderr, "board_sim: ready on %s\n", pty.port[0].slavename);

    int state = cpu_Running;
    while (!stopRequested && state != cpu_Done && state != cpu_Crashed) {
        state = avr_run(avr);
        if (avr->pc < kBootStart)
            avr_reset(avr);
    }
    uart_pty_stop(&pty);
    avr_terminate(avr);
    return state == cpu_Crashed ? 1 : 0;
}
