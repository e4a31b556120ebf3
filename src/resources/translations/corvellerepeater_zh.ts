<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>AboutDialog</name>
    <message>
        <source>Corvelle Repeater project</source>
        <translation>Corvelle 中继器项目</translation>
    </message>
    <message>
        <source>CorvelleRepeater</source>
        <translation>Corvelle中继器</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确认</translation>
    </message>
    <message>
        <source>version：</source>
        <translation>版本:</translation>
    </message>
    <message>
        <source>website：</source>
        <translation>官网:</translation>
    </message>
</context>
<context>
    <name>CANParamWidget</name>
    <message>
        <source>%1 Mbit/s · SP %2 %</source>
        <translation>%1 Mbit/s · 采样点 %2 %</translation>
    </message>
    <message>
        <source>%1 kbit/s · SP %2 %</source>
        <translation>%1 kbit/s · 采样点 %2 %</translation>
    </message>
    <message>
        <source>bit rate detected by the device</source>
        <translation>由设备检测波特率</translation>
    </message>
    <message>
        <source>channel %1: choose the type and mode of filter %2</source>
        <translation>通道%1：请选择滤波器%2的类型和模式</translation>
    </message>
    <message>
        <source>channel %1: choose the mode and the FD standard</source>
        <translation>通道%1：请选择工作模式和FD标准</translation>
    </message>
    <message>
        <source>channel %1: choose the work mode and bit width of filter %2</source>
        <translation>通道%1：请选择滤波器%2的工作模式和位宽</translation>
    </message>
    <message>
        <source>channel %1: the ID register of filter %2 must be 8 hexadecimal digits</source>
        <translation>通道%1：滤波器%2的ID寄存器必须是8位十六进制数</translation>
    </message>
    <message>
        <source>channel %1: the arbitration rate register must be 8 hexadecimal digits</source>
        <translation>通道%1：仲裁域波特率寄存器必须是8位十六进制数</translation>
    </message>
    <message>
        <source>channel %1: the bit rate register must be 8 hexadecimal digits</source>
        <translation>通道%1：波特率寄存器必须是8位十六进制数</translation>
    </message>
    <message>
        <source>channel %1: the data rate register must be 8 hexadecimal digits</source>
        <translation>通道%1：数据域波特率寄存器必须是8位十六进制数</translation>
    </message>
    <message>
        <source>channel %1: the mask register of filter %2 must be 8 hexadecimal digits</source>
        <translation>通道%1：滤波器%2的屏蔽寄存器必须是8位十六进制数</translation>
    </message>
    <message>
        <source>not a valid timing</source>
        <translation>无效的位时序</translation>
    </message>
    <message>
        <source>+</source>
        <translation>+</translation>
    </message>
    <message>
        <source>-</source>
        <translation>-</translation>
    </message>
    <message>
        <source>Arbitrate BauteRate:</source>
        <translation>仲裁域波特率:</translation>
    </message>
    <message>
        <source>BautRate:</source>
        <translation>仲裁域波特率:</translation>
    </message>
    <message>
        <source>BauteRate:</source>
        <translation>波特率:</translation>
    </message>
    <message>
        <source>Bit</source>
        <translation>位</translation>
    </message>
    <message>
        <source>CANParamWidget</source>
        <translation>CANParamWidget</translation>
    </message>
    <message>
        <source>Data BautRate:</source>
        <translation>数据域波特率:</translation>
    </message>
    <message>
        <source>FDstandard:</source>
        <translation>FD标准:</translation>
    </message>
    <message>
        <source>ID Register</source>
        <translation>ID寄存器</translation>
    </message>
    <message>
        <source>INFO</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>ISO</source>
        <translation>ISO</translation>
    </message>
    <message>
        <source>Mask Register</source>
        <translation>屏蔽寄存器</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>工作模式</translation>
    </message>
    <message>
        <source>Mode:</source>
        <translation>模式:</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>类型</translation>
    </message>
    <message>
        <source>UN-ISO</source>
        <translation>非ISO</translation>
    </message>
    <message>
        <source>Work Mode</source>
        <translation>工作模式</translation>
    </message>
    <message>
        <source>clear ID</source>
        <translation>明确ID</translation>
    </message>
    <message>
        <source>custom</source>
        <translation>自定义</translation>
    </message>
    <message>
        <source>datarate</source>
        <translation>数据域滤波：</translation>
    </message>
    <message>
        <source>extended frame</source>
        <translation>扩展帧</translation>
    </message>
    <message>
        <source>extended frame at most 64</source>
        <translation>扩展帧最多64个</translation>
    </message>
    <message>
        <source>filter at most 14</source>
        <translation>滤波器最多14个</translation>
    </message>
    <message>
        <source>list Mode</source>
        <translation>列表模式</translation>
    </message>
    <message>
        <source>mask ID</source>
        <translation>屏蔽ID</translation>
    </message>
    <message>
        <source>mask Mode</source>
        <translation>屏蔽模式</translation>
    </message>
    <message>
        <source>range ID</source>
        <translation>范围ID</translation>
    </message>
    <message>
        <source>self-adaption</source>
        <translation>自适应</translation>
    </message>
    <message>
        <source>standard frame</source>
        <translation>标准帧</translation>
    </message>
    <message>
        <source>standard frame ID&lt;=0x000007FF
extended frame ID&lt;=0x1FFFFFFF</source>
        <translation>标准帧ID&lt;=0x000007FF
扩展帧ID&lt;=0x1FFFFFFF</translation>
    </message>
    <message>
        <source>standard frame MASK&lt;=0x000007FF
extended frame MASK&lt;=0x1FFFFFFF</source>
        <translation>标准帧MASK&lt;=0x000007FF
扩展帧MASK&lt;=0x1FFFFFFF</translation>
    </message>
    <message>
        <source>standard frame at most 128</source>
        <translation>标准帧最多128个</translation>
    </message>
    <message>
        <source>channel %1: filter at most 14</source>
        <translation>通道%1：滤波器最多14个</translation>
    </message>
    <message>
        <source>channel %1: standard frame at most 128</source>
        <translation>通道%1：标准帧最多128个</translation>
    </message>
    <message>
        <source>channel %1: extended frame at most 64</source>
        <translation>通道%1：扩展帧最多64个</translation>
    </message>
    <message>
        <source>%1 register</source>
        <translation>%1寄存器</translation>
    </message>
    <message>
        <source>Filters</source>
        <translation>滤波器</translation>
    </message>
    <message>
        <source>Add a filter row</source>
        <translation>添加一行滤波器</translation>
    </message>
    <message>
        <source>Remove the selected filter rows</source>
        <translation>删除所选的滤波器行</translation>
    </message>
    <message>
        <source>A channel holds at most %1 filters.</source>
        <translation>每个通道最多%1个滤波器。</translation>
    </message>
    <message>
        <source>Filter %1: %2</source>
        <translation>滤波器%1：%2</translation>
    </message>
    <message>
        <source>Select all filter rows</source>
        <translation>选择全部滤波器行</translation>
    </message>
    <message>
        <source>channel %1: a CAN FD channel needs at least one filter row</source>
        <translation>通道%1：CAN FD 通道至少需要一行过滤器</translation>
    </message>
</context>
<context>
    <name>CorvelleRepeater</name>
    <message>
        <source>Open log folder</source>
        <translation>打开日志文件夹</translation>
    </message>
    <message>
        <source>Save log...</source>
        <translation>保存日志...</translation>
    </message>
    <message>
        <source>save log</source>
        <translation>保存日志</translation>
    </message>
    <message>
        <source>Log(*.log *.txt)</source>
        <translation>日志(*.log *.txt)</translation>
    </message>
    <message>
        <source>save log fail: </source>
        <translation>保存日志失败：</translation>
    </message>
    <message>
        <source>%1 / %2 blocks</source>
        <translation>%1 / %2 块</translation>
    </message>
    <message>
        <source>%1 / %2 blocks, %3 left</source>
        <translation>%1 / %2 块，剩余 %3</translation>
    </message>
    <message>
        <source>About</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>An operation on the device is running. Close the window when it has ended.</source>
        <translation>设备操作正在进行，请在操作结束后再关闭窗口。</translation>
    </message>
    <message>
        <source>channel %1: %2 is not a valid bit timing.</source>
        <translation>通道%1：%2 不是有效的位时序。</translation>
    </message>
    <message>
        <source>channel %1: data rate %2 is not a valid bit timing.</source>
        <translation>通道%1：数据域波特率 %2 不是有效的位时序。</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>确认</translation>
    </message>
    <message>
        <source>Device Info</source>
        <translation>设备信息</translation>
    </message>
    <message>
        <source>Fiber%1 Boud Rate:</source>
        <translation>光纤%1波特率:</translation>
    </message>
    <message>
        <source>Fiber%1: %2 bit/s is outside the rates the device runs (%3 to %4 bit/s).</source>
        <translation>光纤%1：%2 bit/s 超出设备支持的波特率范围（%3 至 %4 bit/s）。</translation>
    </message>
    <message>
        <source>INFO</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>ON/OFF</source>
        <translation>开/关</translation>
    </message>
    <message>
        <source>Restore the defaults of %1? The device&apos;s configuration will be overwritten.</source>
        <translation>要恢复 %1 的默认配置吗？设备的配置将被覆盖。</translation>
    </message>
    <message>
        <source>TXT(*.txt)</source>
        <translation>TXT(*.txt)</translation>
    </message>
    <message>
        <source>The device was found, but access to it was denied. Install the udev rule 60-corvelle-repeater.rules (see the README) and plug the device in again.</source>
        <translation>已找到设备，但访问被拒绝。请安装 udev 规则 60-corvelle-repeater.rules（见 README），然后重新插入设备。</translation>
    </message>
    <message>
        <source>channel%1</source>
        <translation>通道%1</translation>
    </message>
    <message>
        <source>custom</source>
        <translation>自定义</translation>
    </message>
    <message>
        <source>device not connect</source>
        <translation>设备未连接</translation>
    </message>
    <message>
        <source>device not connected</source>
        <translation>设备未连接</translation>
    </message>
    <message>
        <source>file length wrong</source>
        <translation>文件长度错误</translation>
    </message>
    <message>
        <source>file open faild</source>
        <translation>文件打开失败</translation>
    </message>
    <message>
        <source>Fiber%1: enter a baud rate from 1 to %2</source>
        <translation>光纤%1：请输入1到%2之间的波特率</translation>
    </message>
    <message>
        <source>open file</source>
        <translation>打开文件</translation>
    </message>
    <message>
        <source>open file faild</source>
        <translation>打开文件失败</translation>
    </message>
    <message>
        <source>parse conf file fail</source>
        <translation>解析配置文件失败</translation>
    </message>
    <message>
        <source>query firmware info fail</source>
        <translation>查询固件信息失败</translation>
    </message>
    <message>
        <source>read CANBautrate fail</source>
        <translation>读取CAN波特率失败</translation>
    </message>
    <message>
        <source>read fiber data fail</source>
        <translation>读取光纤数据失败</translation>
    </message>
    <message>
        <source>read filter extended frame fail</source>
        <translation>读取扩展帧滤波失败</translation>
    </message>
    <message>
        <source>read filter standard frame fail</source>
        <translation>读取标准帧滤波失败</translation>
    </message>
    <message>
        <source>read finish</source>
        <translation>加载配置文件成功</translation>
    </message>
    <message>
        <source>read mask data fail</source>
        <translation>读取屏蔽数据失败</translation>
    </message>
    <message>
        <source>read route data fail</source>
        <translation>读取路由数据失败</translation>
    </message>
    <message>
        <source>read success</source>
        <translation>读取成功</translation>
    </message>
    <message>
        <source>reset fail</source>
        <translation>重置失败</translation>
    </message>
    <message>
        <source>reset faild</source>
        <translation>重置失败</translation>
    </message>
    <message>
        <source>save conf</source>
        <translation>保存配置</translation>
    </message>
    <message>
        <source>save conf file fail</source>
        <translation>保存配置文件失败</translation>
    </message>
    <message>
        <source>save config</source>
        <translation>保存配置</translation>
    </message>
    <message>
        <source>save success</source>
        <translation>保存成功</translation>
    </message>
    <message>
        <source>search device fail</source>
        <translation>搜索设备失败</translation>
    </message>
    <message>
        <source>searching for the device</source>
        <translation>正在搜索设备</translation>
    </message>
    <message>
        <source>select file</source>
        <translation>选择文件</translation>
    </message>
    <message>
        <source>send fild length fail</source>
        <translation>发送文件长度失败</translation>
    </message>
    <message>
        <source>send file checksum fail</source>
        <translation>发送文件校验和失败</translation>
    </message>
    <message>
        <source>send reset instruct fail</source>
        <translation>发送复位指令失败</translation>
    </message>
    <message>
        <source>set CAN mask fail</source>
        <translation>设置CAN屏蔽失败</translation>
    </message>
    <message>
        <source>set CANBautrate fail</source>
        <translation>设置CAN波特率失败</translation>
    </message>
    <message>
        <source>set default fail</source>
        <translation>恢复默认失败</translation>
    </message>
    <message>
        <source>set fiber fail</source>
        <translation>设置光纤失败</translation>
    </message>
    <message>
        <source>set route fail</source>
        <translation>设置路由失败</translation>
    </message>
    <message>
        <source>set up CANBautrate fail</source>
        <translation>设置CAN波特率失败</translation>
    </message>
    <message>
        <source>set up success</source>
        <translation>设置成功</translation>
    </message>
    <message>
        <source>transfer file fail</source>
        <translation>传输文件失败</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>未知</translation>
    </message>
    <message>
        <source>update file(*.bin)</source>
        <translation>升级文件(*.bin)</translation>
    </message>
    <message>
        <source>update success</source>
        <translation>升级成功</translation>
    </message>
    <message>
        <source>Upgrade the firmware of %1 (now %2) with %3: %4 bytes in %5 blocks? The device&apos;s firmware will be overwritten.</source>
        <translation>要用 %3（%4 字节，%5 块）升级 %1 的固件（当前为 %2）吗？设备的固件将被覆盖。</translation>
    </message>
    <message>
        <source>Warning: the file name does not end in &quot;.bin&quot;; it may not be a firmware image.</source>
        <translation>警告：文件名不以“.bin”结尾，可能不是固件镜像。</translation>
    </message>
    <message>
        <source>Write anyway?</source>
        <translation>仍要写入吗？</translation>
    </message>
    <message>
        <source>write fail</source>
        <translation>写入失败</translation>
    </message>
    <message>
        <source>wrong instruct</source>
        <translation>错误指令</translation>
    </message>
    <message>
        <source>Menu</source>
        <translation>菜单</translation>
    </message>
    <message>
        <source>Menu (F10)</source>
        <translation>菜单 (F10)</translation>
    </message>
    <message>
        <source>Minimise</source>
        <translation>最小化</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Configuration pages</source>
        <translation>配置页</translation>
    </message>
    <message>
        <source>CAN channels</source>
        <translation>CAN通道</translation>
    </message>
    <message>
        <source>Routes</source>
        <translation>路由</translation>
    </message>
    <message>
        <source>Firmware file</source>
        <translation>固件文件</translation>
    </message>
    <message>
        <source>Upgrade progress</source>
        <translation>升级进度</translation>
    </message>
    <message>
        <source>Fiber%1 custom baud rate</source>
        <translation>光纤%1自定义波特率</translation>
    </message>
    <message>
        <source>%1 / 1 block</source>
        <translation>%1 / 1 块</translation>
    </message>
    <message>
        <source>Upgrade the firmware of %1 (now %2) with %3: %4 bytes in 1 block? The device&apos;s firmware will be overwritten.</source>
        <translation>要用 %3（%4 字节，1 块）升级 %1 的固件（当前为 %2）吗？设备的固件将被覆盖。</translation>
    </message>
    <message>
        <source>the firmware image is empty</source>
        <translation>固件镜像为空</translation>
    </message>
    <message>
        <source>%1 already holds this configuration. Write it again?</source>
        <translation>%1 已保存此配置。仍要再次写入吗？</translation>
    </message>
    <message>
        <source>%1 unwritten changes</source>
        <translation>%1 项更改未写入</translation>
    </message>
    <message>
        <source>1 unwritten change</source>
        <translation>1 项更改未写入</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>放弃</translation>
    </message>
    <message>
        <source>Save to file</source>
        <translation>保存到文件</translation>
    </message>
    <message>
        <source>Show the changes before writing</source>
        <translation>写入前显示更改</translation>
    </message>
    <message>
        <source>The editors hold changes not written to %1. Close the window?</source>
        <translation>编辑器中有尚未写入 %1 的更改。关闭窗口吗？</translation>
    </message>
    <message>
        <source>The editors hold changes not written to %1. Opening a file replaces them.</source>
        <translation>编辑器中有尚未写入 %1 的更改。打开文件将替换这些更改。</translation>
    </message>
    <message>
        <source>The editors hold changes not written to %1. Reading the device replaces them.</source>
        <translation>编辑器中有尚未写入 %1 的更改。读取设备将替换这些更改。</translation>
    </message>
    <message>
        <source>The editors hold changes not written to %1. Restoring the defaults replaces them.</source>
        <translation>编辑器中有尚未写入 %1 的更改。恢复默认配置将替换这些更改。</translation>
    </message>
    <message>
        <source>The editors hold changes not written to %1. Switching to another device replaces them.</source>
        <translation>编辑器中有尚未写入 %1 的更改。切换到另一台设备将替换这些更改。</translation>
    </message>
    <message>
        <source>Several devices are attached: choose the one to configure</source>
        <translation>已连接多台设备：请选择要配置的设备</translation>
    </message>
    <message>
        <source>(access denied)</source>
        <translation>（无访问权限）</translation>
    </message>
    <message>
        <source>Waiting for %1 (board %2) with its unwritten changes</source>
        <translation>等待 %1（板号 %2）重新接入，其更改尚未写入</translation>
    </message>
    <message>
        <source>The editors held changes not written to %1 (board %2) when it was removed. They are shown again when it comes back; another device drops them.</source>
        <translation>%1（板号 %2）被拔出时，编辑器中有尚未写入的更改。它重新接入时会再次显示这些更改；切换到另一台设备将放弃这些更改。</translation>
    </message>
    <message>
        <source>The factory configuration of %1 is restored, but reading it back failed: %2 Read the configuration again to see it.</source>
        <translation>%1 已恢复出厂配置，但回读失败：%2 请重新读取配置以查看。</translation>
    </message>
    <message>
        <source>The factory configuration of %1 is restored.</source>
        <translation>%1 已恢复出厂配置。</translation>
    </message>
    <message>
        <source>These %1 changes will be written to %2:</source>
        <translation>以下 %1 项更改将写入 %2：</translation>
    </message>
    <message>
        <source>This change will be written to %1:</source>
        <translation>以下更改将写入 %1：</translation>
    </message>
    <message>
        <source>%1 (board %2) was removed while the editors held changes not written to it. Show them again?</source>
        <translation>%1（板号 %2）被拔出时，编辑器中有尚未写入的更改。要重新显示这些更改吗？</translation>
    </message>
    <message>
        <source>Show the changes</source>
        <translation>显示更改</translation>
    </message>
    <message>
        <source>Compare with the device</source>
        <translation>与设备比较</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>The editors show the configuration %1 holds.</source>
        <translation>编辑器显示的正是 %1 保存的配置。</translation>
    </message>
    <message>
        <source>The editors differ from %1 in one place (device → editors):</source>
        <translation>编辑器与 %1 有 1 处不同（设备 → 编辑器）：</translation>
    </message>
    <message>
        <source>The editors differ from %1 in %2 places (device → editors):</source>
        <translation>编辑器与 %1 有 %2 处不同（设备 → 编辑器）：</translation>
    </message>
    <message>
        <source>Unwritten changes</source>
        <translation>未写入的更改</translation>
    </message>
    <message>
        <source>Write config</source>
        <translation>写入配置</translation>
    </message>
    <message>
        <source>Write</source>
        <translation>写入</translation>
    </message>
</context>
<context>
    <name>CorvelleRepeaterClass</name>
    <message>
        <source> Device Name:</source>
        <translation> 设备名称:</translation>
    </message>
    <message>
        <source>Bootloader Version:</source>
        <translation>引导程序版本:</translation>
    </message>
    <message>
        <source>CAN Param</source>
        <translation>CAN参数</translation>
    </message>
    <message>
        <source>Corvelle</source>
        <translation>Corvelle中继器</translation>
    </message>
    <message>
        <source>CorvelleRepeater</source>
        <translation>Corvelle中继器</translation>
    </message>
    <message>
        <source>Current Device dont support this function.</source>
        <translation>当前设备不支持此功能。</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>默认</translation>
    </message>
    <message>
        <source>Fiber Param</source>
        <translation>光纤参数</translation>
    </message>
    <message>
        <source>Firmware Upgrade</source>
        <translation>固件升级</translation>
    </message>
    <message>
        <source>Firmware Version:</source>
        <translation>固件版本:</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>打开</translation>
    </message>
    <message>
        <source>Query</source>
        <translation>查询</translation>
    </message>
    <message>
        <source>Read config</source>
        <translation>读取配置</translation>
    </message>
    <message>
        <source>Route Param</source>
        <translation>路由参数</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>升级</translation>
    </message>
    <message>
        <source>Write config</source>
        <translation>写入配置</translation>
    </message>
    <message>
        <source>① ON/OFF：√channel is opening，╳channal is closed.</source>
        <translation>①开/关：√表示该通道打开，×表示该通道关闭。</translation>
    </message>
    <message>
        <source>② Route ：√channal is enable，╳Channel is disabled.</source>
        <translation>②路由：√表示该通道路由使能，×表示该通道路由禁止。</translation>
    </message>
    <message>
        <source>【note】:If modifications are required, 
ensure that the baud rate of the butted fiber channel remains the same.</source>
        <translation>【注意】：如需修改，请确保与对接光纤通道波特率保持一致。</translation>
    </message>
</context>
<context>
    <name>DevInfoWidget</name>
    <message>
        <source>Board Num：</source>
        <translation>板卡编号：</translation>
    </message>
    <message>
        <source>DevInfoWidget</source>
        <translation>设备信息</translation>
    </message>
    <message>
        <source>Firmware Version：</source>
        <translation>固件版本：</translation>
    </message>
    <message>
        <source>Hardware Type：</source>
        <translation>硬件类型：</translation>
    </message>
    <message>
        <source>Hardware version：</source>
        <translation>硬件版本：</translation>
    </message>
    <message>
        <source>device info</source>
        <translation>设备信息</translation>
    </message>
    <message>
        <source>Device Info</source>
        <translation>设备信息</translation>
    </message>
</context>
<context>
    <name>CANParamWidget</name>
    <message>
        <source>Calculator…</source>
        <translation>计算器…</translation>
    </message>
    <message>
        <source>Compute the register from a bit rate and a sample point</source>
        <translation>由波特率和采样点计算寄存器值</translation>
    </message>
    <message>
        <source>Bit-timing calculator</source>
        <translation>位时序计算器</translation>
    </message>
    <message>
        <source>a timing register holds four bytes</source>
        <translation>位时序寄存器应为四个字节</translation>
    </message>
    <message>
        <source>bits are set outside the register&apos;s fields</source>
        <translation>寄存器字段之外有位被置1</translation>
    </message>
    <message>
        <source>the jump width %1 is longer than segment 1 (%2) or segment 2 (%3)</source>
        <translation>同步跳转宽度 %1 大于时间段1（%2）或时间段2（%3）</translation>
    </message>
    <message>
        <source>%1 bit/s is above the %2 bit/s this phase carries</source>
        <translation>%1 bit/s 超过该段所能承载的 %2 bit/s</translation>
    </message>
</context>
<context>
    <name>TimingCalculatorDialog</name>
    <message>
        <source>Bit-timing calculator</source>
        <translation>位时序计算器</translation>
    </message>
    <message>
        <source>Wanted bit rate</source>
        <translation>期望波特率</translation>
    </message>
    <message>
        <source>&amp;Bit rate:</source>
        <translation>波特率(&amp;B)：</translation>
    </message>
    <message>
        <source>Wanted sample point</source>
        <translation>期望采样点</translation>
    </message>
    <message>
        <source>Default as CiA recommends: 87.5 % up to 500 kbit/s, 80 % up to 800 kbit/s, 75 % above</source>
        <translation>默认值按 CiA 推荐：500 kbit/s 及以下 87.5 %，800 kbit/s 及以下 80 %，更高 75 %</translation>
    </message>
    <message>
        <source>&amp;Sample point:</source>
        <translation>采样点(&amp;S)：</translation>
    </message>
    <message>
        <source> tq</source>
        <translation> tq</translation>
    </message>
    <message>
        <source>Resynchronisation jump width in time quanta</source>
        <translation>重同步跳转宽度（时间份额数）</translation>
    </message>
    <message>
        <source>&amp;Jump width (SJW):</source>
        <translation>同步跳转宽度 SJW(&amp;J)：</translation>
    </message>
    <message>
        <source>Prescaler</source>
        <translation>分频系数</translation>
    </message>
    <message>
        <source>Time quantum</source>
        <translation>时间份额</translation>
    </message>
    <message>
        <source>Segment 1</source>
        <translation>时间段1</translation>
    </message>
    <message>
        <source>Segment 2</source>
        <translation>时间段2</translation>
    </message>
    <message>
        <source>SJW</source>
        <translation>SJW</translation>
    </message>
    <message>
        <source>Bit rate</source>
        <translation>波特率</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>误差</translation>
    </message>
    <message>
        <source>Sample point</source>
        <translation>采样点</translation>
    </message>
    <message>
        <source>Register</source>
        <translation>寄存器</translation>
    </message>
    <message>
        <source>Timings, best first</source>
        <translation>位时序，最优在前</translation>
    </message>
    <message>
        <source>&amp;Use this timing</source>
        <translation>使用此位时序(&amp;U)</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>%1 ns</source>
        <translation>%1 ns</translation>
    </message>
    <message>
        <source>%1 MHz</source>
        <translation>%1 MHz</translation>
    </message>
    <message>
        <source>No timing of this layout has this jump width.</source>
        <translation>此寄存器布局没有符合该同步跳转宽度的位时序。</translation>
    </message>
    <message>
        <source>%1 cannot be reached within 5 % with the %2 clock. The nearest timings are shown; the best gives %3.</source>
        <translation>%2 时钟无法在 5 % 误差内得到 %1。下面列出最接近的位时序；最佳为 %3。</translation>
    </message>
    <message>
        <source>The %1 clock gives %2 exactly. Best first: the sample point nearest the wanted one, then more time quanta.</source>
        <translation>%1 时钟可精确得到 %2。排序：采样点最接近期望值者在前，其次时间份额多者在前。</translation>
    </message>
    <message>
        <source>The %1 clock cannot give %2 exactly; the nearest is %3 (%4 %).</source>
        <translation>%1 时钟无法精确得到 %2；最接近的是 %3（%4 %）。</translation>
    </message>
    <message>
        <source>the bit rate must be at least 1 bit/s</source>
        <translation>波特率至少为 1 bit/s</translation>
    </message>
    <message>
        <source>the sample point must lie between 0 % and 100 %</source>
        <translation>采样点必须在 0 % 与 100 % 之间</translation>
    </message>
    <message>
        <source>the jump width must be 1 to %1</source>
        <translation>同步跳转宽度必须为 1 至 %1</translation>
    </message>
</context>
<context>
    <name>HistoryDialog</name>
    <message>
        <source>%1 %2: written %3, read back %4</source>
        <translation>%1 %2：写入 %3，读回 %4</translation>
    </message>
    <message>
        <source>Board number</source>
        <translation>板号</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>设备</translation>
    </message>
    <message>
        <source>Differences</source>
        <translation>差异</translation>
    </message>
    <message>
        <source>File</source>
        <translation>文件</translation>
    </message>
    <message>
        <source>Firmware</source>
        <translation>固件</translation>
    </message>
    <message>
        <source>History</source>
        <translation>历史记录</translation>
    </message>
    <message>
        <source>History file: %1</source>
        <translation>历史文件：%1</translation>
    </message>
    <message>
        <source>History of writes, defaults and upgrades</source>
        <translation>写入、恢复默认和升级的历史记录</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>型号</translation>
    </message>
    <message>
        <source>No writes, defaults or upgrades yet. History file: %1</source>
        <translation>尚无写入、恢复默认或升级的记录。历史文件：%1</translation>
    </message>
    <message>
        <source>Operation</source>
        <translation>操作</translation>
    </message>
    <message>
        <source>Program</source>
        <translation>程序</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>结果</translation>
    </message>
    <message>
        <source>SHA-256</source>
        <translation>SHA-256</translation>
    </message>
    <message>
        <source>The history cannot be read: %1</source>
        <translation>无法读取历史记录：%1</translation>
    </message>
    <message>
        <source>The operation is done, but it could not be added to the history: %1</source>
        <translation>操作已完成，但无法记入历史记录：%1</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>时间</translation>
    </message>
    <message>
        <source>defaults</source>
        <translation>恢复默认</translation>
    </message>
    <message>
        <source>different</source>
        <translation>不一致</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>失败</translation>
    </message>
    <message>
        <source>ok</source>
        <translation>成功</translation>
    </message>
    <message>
        <source>upgrade</source>
        <translation>升级</translation>
    </message>
    <message>
        <source>write</source>
        <translation>写入</translation>
    </message>
</context>
<context>
    <name>UserDialogs</name>
    <message>
        <source>&amp;No</source>
        <translation>否(&amp;N)</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>是(&amp;Y)</translation>
    </message>
</context>
<context>
    <name>CheckButton</name>
    <message>
        <source>on</source>
        <translation>开</translation>
    </message>
    <message>
        <source>off</source>
        <translation>关</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1，%2</translation>
    </message>
</context>
<context>
    <name>Validation</name>
    <message>
        <source>channel %1: </source>
        <translation>通道%1：</translation>
    </message>
    <message>
        <source>Fiber%1: &quot;%2&quot; is no rate code of this device (01 to %3)</source>
        <translation>光纤%1：“%2”不是本设备的波特率代码（01 至 %3）</translation>
    </message>
    <message>
        <source>member &quot;%1&quot; is given again at offset %2</source>
        <translation>成员“%1”在偏移 %2 处重复出现</translation>
    </message>
    <message>
        <source>a configuration of a family-%1 device; this device is of family %2</source>
        <translation>这是系列 %1 设备的配置；本设备属于系列 %2</translation>
    </message>
    <message>
        <source>the file has %1 CAN channels; this device has %2</source>
        <translation>文件有 %1 个 CAN 通道；本设备有 %2 个</translation>
    </message>
    <message>
        <source>the file has %1 fibre channels; this device has %2</source>
        <translation>文件有 %1 个光纤通道；本设备有 %2 个</translation>
    </message>
    <message>
        <source>the file has %1 route ports; this device has %2</source>
        <translation>文件有 %1 个路由端口；本设备有 %2 个</translation>
    </message>
    <message>
        <source>Port%1: the route row is longer than this device's %2 ports</source>
        <translation>端口%1：路由行超过本设备的 %2 个端口</translation>
    </message>
</context>
<context>
    <name>ChangeMarks</name>
    <message>
        <source>device: %1</source>
        <translation>设备：%1</translation>
    </message>
</context>
<context>
    <name>Changes</name>
    <message>
        <source>CAN channel %1 is not in the file and takes the defaults.</source>
        <translation>文件中没有 CAN 通道 %1，该通道采用默认配置。</translation>
    </message>
    <message>
        <source>CAN channels %1 to %2 are not in the file and take the defaults.</source>
        <translation>文件中没有 CAN 通道 %1 至 %2，这些通道采用默认配置。</translation>
    </message>
    <message>
        <source>Fiber%1 is not in the file and keeps its rate.</source>
        <translation>文件中没有光纤%1，其波特率保持不变。</translation>
    </message>
    <message>
        <source>Fiber%1 to Fiber%2 are not in the file and keep their rates.</source>
        <translation>文件中没有光纤%1 至光纤%2，其波特率保持不变。</translation>
    </message>
    <message>
        <source>The routes of %1 are not in the file and stay as they are.</source>
        <translation>文件中没有 %1 的路由，保持不变。</translation>
    </message>
    <message>
        <source>%1, %2: %3</source>
        <translation>%1，%2：%3</translation>
    </message>
    <message>
        <source>Fiber%1: %2</source>
        <translation>光纤%1：%2</translation>
    </message>
    <message>
        <source>%1, filter row %2: %3</source>
        <translation>%1，过滤行 %2：%3</translation>
    </message>
    <message>
        <source>%1: filter row %2 added</source>
        <translation>%1：新增过滤行 %2</translation>
    </message>
    <message>
        <source>%1: filter row %2 removed</source>
        <translation>%1：删除过滤行 %2</translation>
    </message>
    <message>
        <source>CAN channel %1</source>
        <translation>CAN 通道 %1</translation>
    </message>
    <message>
        <source>FD standard</source>
        <translation>FD 标准</translation>
    </message>
    <message>
        <source>arbitration rate</source>
        <translation>仲裁域波特率</translation>
    </message>
    <message>
        <source>bit rate</source>
        <translation>波特率</translation>
    </message>
    <message>
        <source>data rate</source>
        <translation>数据域波特率</translation>
    </message>
    <message>
        <source>mode</source>
        <translation>模式</translation>
    </message>
    <message>
        <source>no row</source>
        <translation>无此行</translation>
    </message>
    <message>
        <source>none</source>
        <translation>无</translation>
    </message>
    <message>
        <source>off</source>
        <translation>关</translation>
    </message>
    <message>
        <source>on</source>
        <translation>开</translation>
    </message>
    <message>
        <source>route %1: %2</source>
        <translation>路由 %1：%2</translation>
    </message>
</context>
<context>
    <name>CorvelleRepeater</name>
    <message>
        <source>New configuration...</source>
        <translation>新建配置...</translation>
    </message>
    <message>
        <source>New configuration</source>
        <translation>新建配置</translation>
    </message>
    <message>
        <source>Configuration prepared for %1 (family %2), no device attached. Read, Write and Default wait for a device.</source>
        <translation>为 %1（系列 %2）准备的配置，未连接设备。读取、写入和默认需等待设备连接。</translation>
    </message>
    <message>
        <source>Configuration prepared for %1 kept. %2 cannot take it: %3. Read config discards it and reads the device.</source>
        <translation>已保留为 %1 准备的配置。%2 无法接受该配置：%3。“读取配置”将放弃该配置并读取设备。</translation>
    </message>
    <message>
        <source>Configuration prepared for %1 kept: Write config writes it to %2, Read config discards it and reads the device.</source>
        <translation>已保留为 %1 准备的配置：“写入配置”将其写入 %2，“读取配置”将放弃该配置并读取设备。</translation>
    </message>
    <message>
        <source>The editors hold a configuration prepared for %1. Write config writes it to %2; Read config discards it and reads %2.</source>
        <translation>编辑器中是为 %1 准备的配置。“写入配置”将其写入 %2；“读取配置”将放弃该配置并读取 %2。</translation>
    </message>
    <message>
        <source>No device is attached: the configuration prepared for %1 waits for one.</source>
        <translation>未连接设备：为 %1 准备的配置正在等待设备连接。</translation>
    </message>
    <message>
        <source>%1, family %2 (%3): %4 CAN, %5 fibre</source>
        <translation>%1，系列 %2（%3）：%4 路 CAN，%5 路光纤</translation>
    </message>
    <message>
        <source>CAN FD</source>
        <translation>CAN FD</translation>
    </message>
    <message>
        <source>classic CAN</source>
        <translation>经典 CAN</translation>
    </message>
    <message>
        <source>A new configuration is prepared without a device; %1 is connected.</source>
        <translation>新建配置用于未连接设备时准备配置；当前已连接 %1。</translation>
    </message>
    <message>
        <source>The model the configuration is for:</source>
        <translation>配置所针对的型号：</translation>
    </message>
    <message>
        <source>The model the file is for:</source>
        <translation>文件所针对的型号：</translation>
    </message>
    <message>
        <source>The configuration prepared for %1 holds changes not saved to a file. A new configuration replaces it.</source>
        <translation>为 %1 准备的配置中有尚未保存到文件的更改。新建配置将替换它。</translation>
    </message>
    <message>
        <source>The configuration prepared for %1 holds changes not saved to a file. Close the window?</source>
        <translation>为 %1 准备的配置中有尚未保存到文件的更改。关闭窗口吗？</translation>
    </message>
    <message>
        <source>The configuration prepared for %1 holds changes not saved to a file. Reading the device replaces it.</source>
        <translation>为 %1 准备的配置中有尚未保存到文件的更改。读取设备将替换它。</translation>
    </message>
    <message>
        <source>The configuration prepared for %1 holds changes not saved to a file. Opening a file replaces it.</source>
        <translation>为 %1 准备的配置中有尚未保存到文件的更改。打开文件将替换它。</translation>
    </message>
    <message>
        <source>The configuration prepared for %1 holds changes not saved to a file. Restoring the defaults replaces it.</source>
        <translation>为 %1 准备的配置中有尚未保存到文件的更改。恢复默认将替换它。</translation>
    </message>
    <message>
        <source>The configuration prepared for %1 holds changes not saved to a file. Switching to another device replaces it.</source>
        <translation>为 %1 准备的配置中有尚未保存到文件的更改。切换到其他设备将替换它。</translation>
    </message>
    <message>
        <source>Unsaved changes</source>
        <translation>未保存的更改</translation>
    </message>
</context>
<context>
    <name>Validation</name>
    <message>
        <source>a configuration prepared for a family-%1 device; this device is of family %2</source>
        <translation>这是为系列 %1 设备准备的配置；本设备属于系列 %2</translation>
    </message>
    <message>
        <source>the configuration has %1 CAN channels; this device has %2</source>
        <translation>配置有 %1 个 CAN 通道；本设备有 %2 个</translation>
    </message>
    <message>
        <source>the configuration has %1 fibre channels; this device has %2</source>
        <translation>配置有 %1 个光纤通道；本设备有 %2 个</translation>
    </message>
</context>
<context>
    <name>UserDialogs</name>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
</TS>
